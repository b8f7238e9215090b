#pragma once
// The threat search: a depth-limited alpha-beta search over forcing moves
// only (fives, blocks of fours, threes of either side), from the position
// the opponent's last stone made.
//
// Values are seen from the engine's side: a five of the engine at node
// depth d is worth (50 - d) * 1000, one of the opponent the negative; a
// quiet node is 0; a node entered after the time limit returns
// TimeUpScore. The search is fail-hard: an expanded node never returns a
// value outside its window, while end values come back as they are.
//
// The search is written once over the way it keeps its position: the
// engine's searcher keeps one board up to date stone by stone
// (IncrementalPosition); PlainThreatSearcher copies and rescans the board
// at every node (CopyMakePosition), as the reference both are measured and
// checked against. Both expand the same nodes in the same order.

#include <cstdint>
#include <functional>
#include <vector>

#include "eval/point_selection.h"
#include "eval/rank_candidates.h"
#include "game/board.h"
#include "game/move_record.h"
#include "search/copy_make_position.h"
#include "search/incremental_position.h"

namespace quorvex {

inline constexpr int32_t TimeUpScore = -1200;
inline constexpr int32_t SearchDepthLimit = 11;
inline constexpr int32_t RootAlpha = -100000;
inline constexpr int32_t RootBeta = 100000;

template <typename Position>
class BasicThreatSearcher {
 public:
  // `ranker` and `clock` must outlive the searcher.
  BasicThreatSearcher(CandidateRanker& ranker, const std::function<int32_t()>& clock);

  // Nodes below the root return TimeUpScore once clock() - turnStartMs
  // exceeds limitMs.
  void SetTimeLimit(int32_t turnStartMs, int32_t limitMs);

  // `move` was just played by `mover` on top of `board` (only its x and y
  // are read); `depth` is the caller's depth, 0 for the root. At the root
  // the result is the number n of root moves written to `results` entries
  // 1..n (x, y and score = the move's value, values within +-1000 cleared
  // to 0); at every other node it is the node's value. `board` is only
  // read. Requires 0 <= depth and 0 <= maxDepth <= 1000. Not reentrant.
  int32_t ThreatSearch(const MoveRecord& move, int32_t mover, const Board& board, int32_t depth,
                       int32_t alpha, int32_t beta, MoveList& results, int32_t maxDepth);

  // Nodes entered since construction: a signature of the search's
  // behaviour on fixed positions.
  int64_t Nodes() const { return nodes_; }

 private:
  int32_t Node(const MoveRecord& move, int32_t mover, int32_t depth, int32_t alpha, int32_t beta,
               MoveList& results, int32_t maxDepth);
  bool TimeIsUp() const;

  Position position_;
  const std::function<int32_t()>& clock_;
  int32_t turnStartMs_ = 0;
  int32_t limitMs_ = 0;
  int64_t nodes_ = 0;
  // Each node's forcing moves, by depth; kept so a search allocates
  // nothing once they have grown.
  std::vector<MoveList> moves_;
  // The points already taken into a move list.
  PointMarks taken_;
};

using ThreatSearcher = BasicThreatSearcher<IncrementalPosition>;
using PlainThreatSearcher = BasicThreatSearcher<CopyMakePosition>;

extern template class BasicThreatSearcher<IncrementalPosition>;
extern template class BasicThreatSearcher<CopyMakePosition>;

}  // namespace quorvex

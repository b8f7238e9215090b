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

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/board.h"
#include "engine/move_record.h"
#include "eval/rank_candidates.h"

namespace quorvex {

inline constexpr int32_t TimeUpScore = -1200;
inline constexpr int32_t SearchDepthLimit = 11;
inline constexpr int32_t RootAlpha = -100000;
inline constexpr int32_t RootBeta = 100000;

class ThreatSearcher {
 public:
  // `ranker` and `clock` must outlive the searcher.
  ThreatSearcher(CandidateRanker& ranker, const std::function<int32_t()>& clock);

  // Nodes below the root return TimeUpScore once clock() - turnStartMs
  // exceeds limitMs.
  void SetTimeLimit(int32_t turnStartMs, int32_t limitMs);

  // `move` was just played by `mover` on top of `board` (only its x and y
  // are read); `depth` is the caller's depth, 0 for the root. At the root
  // the result is the number n of root moves written to `results` entries
  // 1..n (x, y and score = the move's value, values within +-1000 cleared
  // to 0); at every other node it is the node's value. `board` is only
  // read: each node works on its own copy. Requires 0 <= depth and
  // 0 <= maxDepth <= 1000.
  int32_t ThreatSearch(const MoveRecord& move, int32_t mover, const Board& board, int32_t depth,
                       int32_t alpha, int32_t beta, MoveList& results, int32_t maxDepth);

  // Nodes entered since construction: a signature of the search's
  // behaviour on fixed positions.
  int64_t Nodes() const { return nodes_; }

 private:
  // What one node owns for the length of its call. Kept per depth and
  // reused, so a search allocates nothing once the pool has grown.
  struct Node {
    Board board;
    MoveList candidates;
    MoveList moves;
  };

  // Counts the calls under way, so that only the outermost sizes the pool.
  struct RunningCall {
    explicit RunningCall(int32_t& count) : count_(count) { ++count_; }
    ~RunningCall() { --count_; }
    RunningCall(const RunningCall&) = delete;
    RunningCall& operator=(const RunningCall&) = delete;
    int32_t& count_;
  };

  Node& NodeAt(int32_t d);
  bool TimeIsUp() const;
  // Appends the entries of `from` that pass `keep` to `to`, one per point.
  template <typename Keep>
  void SelectMoves(const MoveList& from, MoveList& to, Keep keep);

  CandidateRanker& ranker_;
  const std::function<int32_t()>& clock_;
  int32_t turnStartMs_ = 0;
  int32_t limitMs_ = 0;
  int64_t nodes_ = 0;
  int32_t running_ = 0;
  std::vector<Node> pool_;
  // Marks of the points already taken into a move list, by stamp.
  std::array<std::array<uint32_t, BoardSpan>, BoardSpan> seen_{};
  uint32_t stamp_ = 0;
};

}  // namespace quorvex

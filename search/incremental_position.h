#pragma once
// The threat search's position kept incrementally: one board whose window
// templates follow each stone placed and taken back, ranked without a
// scan and sorted only as far as the search reads. The same rankings as
// the copy-make position, at a fraction of its cost.

#include <cstdint>
#include <vector>

#include "eval/incremental_ranker.h"
#include "eval/rank_candidates.h"
#include "game/board.h"
#include "game/move_record.h"

namespace quorvex {

class IncrementalPosition {
 public:
  // Ranks with the tables of `ranker`, which must outlive the position.
  explicit IncrementalPosition(CandidateRanker& ranker) : ranker_(ranker.tables()) {}

  // Room for `plies` stones on top of the start.
  void Reserve(int32_t plies);
  // The position before the first stone; copied.
  void Start(const Board& board);
  // `code` at the move's point, when it is a playable point; taken back in
  // the reverse order of play.
  void Play(const MoveRecord& move, int32_t code);
  void TakeBack();

  const Board& board() const { return ranker_.board(); }
  // Every candidate of the current board for `side`; valid until the
  // position changes or is ranked again.
  const RankedCandidates& Rank(int32_t side) { return ranker_.Rank(side); }

 private:
  // A played stone and what its cell held before.
  struct Change {
    int32_t x;
    int32_t y;
    int32_t before;
  };

  IncrementalRanker ranker_;
  std::vector<Change> played_;
};

}  // namespace quorvex

#pragma once
// The threat search's position kept the plain way: every node copies its
// parent's board, writes its stone and ranks the whole board afresh. Kept
// as the reference the incremental position is measured and checked
// against; both give the same rankings, so a search on either expands the
// same nodes.

#include <cstdint>
#include <vector>

#include "eval/point_selection.h"
#include "eval/rank_candidates.h"
#include "game/board.h"
#include "game/move_record.h"

namespace quorvex {

// A full listing read through the interface the search reads rankings by.
class ListedCandidates {
 public:
  explicit ListedCandidates(const MoveList& list) : list_(list) {}
  int32_t Count() const { return ListCount(list_); }
  int32_t CountAtLeast(int32_t score) const {
    int32_t count = 0;
    while (count < Count() && list_[static_cast<std::size_t>(count) + 1].score >= score) ++count;
    return count;
  }
  const MoveRecord& At(int32_t i) const { return list_[static_cast<std::size_t>(i)]; }
  int32_t TopScore() const { return Count() > 0 ? At(1).score : 0; }
  void Select(int32_t minScore, int32_t side, PointMarks& marks, MoveList& to) const {
    SelectOnePerPoint(*this, minScore, side, marks, to);
  }

 private:
  const MoveList& list_;
};

class CopyMakePosition {
 public:
  explicit CopyMakePosition(CandidateRanker& ranker) : ranker_(ranker) {}

  // Room for `plies` stones on top of the start without moving any board.
  void Reserve(int32_t plies);
  // The position before the first stone; copied.
  void Start(const Board& board);
  // `code` at the move's point, when it is a playable point; taken back in
  // the reverse order of play.
  void Play(const MoveRecord& move, int32_t code);
  void TakeBack() { --top_; }

  const Board& board() const { return boards_[static_cast<std::size_t>(top_)]; }
  // Every candidate of the current board for `side`; valid until the
  // position changes.
  ListedCandidates Rank(int32_t side);

 private:
  CandidateRanker& ranker_;
  std::vector<Board> boards_;  // the start at 0, then one per stone played
  std::vector<MoveList> lists_;
  int32_t top_ = 0;
};

}  // namespace quorvex

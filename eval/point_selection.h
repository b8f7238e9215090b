#pragma once
// Picking from a ranked list the entries of one side down to a score, one
// per point: the forcing moves the threat search expands.

#include <array>
#include <cstdint>

#include "game/board.h"
#include "game/move_record.h"

namespace quorvex {

// A set of points that empties in constant time: a point is in the set
// when its mark equals the current stamp.
class PointMarks {
 public:
  void Clear() {
    if (++stamp_ == 0) {
      for (auto& column : marks_) column.fill(0);
      stamp_ = 1;
    }
  }
  // Adds (x, y); false when it was in the set already.
  bool Insert(int32_t x, int32_t y) {
    uint32_t& mark = marks_[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
    if (mark == stamp_) return false;
    mark = stamp_;
    return true;
  }

 private:
  std::array<std::array<uint32_t, BoardSpan>, BoardSpan> marks_{};
  uint32_t stamp_ = 0;
};

// Rebuilds `to` (entry 0 empty) with the entries of `ranked` that score
// `minScore` or more and have `side`, in ranked order, keeping only the
// first entry of each point. `ranked` gives CountAtLeast(score) and At(i).
template <typename Ranked>
void SelectOnePerPoint(const Ranked& ranked, int32_t minScore, int32_t side, PointMarks& marks,
                       MoveList& to) {
  to.clear();
  to.push_back(MoveRecord{});
  marks.Clear();
  const int32_t count = ranked.CountAtLeast(minScore);
  for (int32_t i = 1; i <= count; ++i) {
    const MoveRecord entry = ranked.At(i);
    if (entry.side == side && marks.Insert(entry.x, entry.y)) to.push_back(entry);
  }
}

}  // namespace quorvex

#pragma once
// The crossing bonus: a two or three that crosses another shape of the
// same player at its proposed point is worth more than either alone.

#include <array>
#include <cstdint>
#include <vector>

#include "eval/scores.h"
#include "game/board.h"
#include "game/move_record.h"

namespace quorvex {

inline constexpr int32_t CrossingBonus = 15;

// The scores that can gain the bonus: twos and threes, exactly.
inline bool CanGainCrossingBonus(int32_t score) {
  return score == TwoScore || score == ClosedThreeScore || score == OpenThreeScore;
}

// The rule, over candidates[1..n] in their order (the collection order,
// before any sorting): candidate a gains CrossingBonus, once, when its
// score is exactly TwoScore, ClosedThreeScore or OpenThreeScore and some
// other candidate b at the same point, along another direction, of the
// same side, scoring at least TwoScore, has not gained the bonus itself by
// the time a is looked at. So in a plain crossing only the earlier of the
// two shapes is raised.
//
// Writes `score` and `bonus`; reads x, y, direction, side. Requires every
// candidate's bonus to be 0 on entry and x, y to be board indices.
class CrossingPass {
 public:
  // Sizes the per-point chains for up to `maxCandidates`; the pass itself
  // allocates nothing.
  explicit CrossingPass(int32_t maxCandidates);

  // Requires n <= maxCandidates.
  void Apply(MoveRecord* candidates, int32_t n);

 private:
  // Candidates are chained per point, so each one meets only the others at
  // its point: whether a gains the bonus depends only on whether such a
  // partner exists, not on the order in which partners are met.
  std::array<int32_t, BoardSpan * BoardSpan> head_{};  // all 0 between calls
  std::vector<int32_t> next_;
};

}  // namespace quorvex

#pragma once
// The crossing bonus: a two or three that crosses another shape of the
// same player at its proposed point is worth more than either alone.

#include <cstdint>

#include "engine/move_record.h"

namespace quorvex {

inline constexpr int32_t CrossingBonus = 15;

// Walks candidates[1..n] in their order (the collection order, before any
// sorting). Candidate a gains CrossingBonus, once, when its score is
// exactly TwoScore, ClosedThreeScore or OpenThreeScore and some other
// candidate b at the same point, along another direction, of the same
// side, scoring at least TwoScore, has not itself gained the bonus yet.
// Writes `score` and `bonus`; reads x, y, direction, side. Requires every
// candidate's bonus to be 0 on entry.
void AddCrossingBonus(MoveRecord* candidates, int32_t n);

}  // namespace quorvex

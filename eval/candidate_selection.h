#pragma once
// Turning the sorted working candidates into the list a caller reads.
//
// Both functions rebuild `list`: entry 0 carries the count in its score
// (its other fields 0), entries 1..count the points with x, y, score, side
// and mine set and direction, templateNo and bonus 0. `sorted[1..n]` must be
// in non-increasing score order. Neither allocates once `list` has held a
// list of this length before.

#include <cstdint>

#include "engine/move_record.h"

namespace quorvex {

// The size of a capped selection: 12 below level 2, 10 at level 2, 8 at
// levels 3 and 4, 6 from level 5 up.
int32_t ListCap(int32_t level);

// Every candidate in order, unmerged: a point may appear several times.
void ListAllCandidates(const MoveRecord* sorted, int32_t n, MoveList& list);

// The capped selection for `level`. A point of FourScore or more appears
// once per side and all of them are kept; a lower point appears once, with
// the score of its best candidate. The walk stops at the first candidate
// its class rules out: anything below FourScore when the best is a four,
// twos when the best is an open three or better, and the cap (ListCap,
// counting every entry already taken) for the lower classes.
void SelectCandidates(const MoveRecord* sorted, int32_t n, int32_t level, MoveList& list);

}  // namespace quorvex

#pragma once
// The ordering of working candidates, highest score first.
//
// Callers depend on the exact order in which equal scores come out (the
// move decision draws from the list, the threat search expands it in
// order), so this is one particular quicksort, kept as it is: a Hoare
// partition around a pivot picked from the first, middle and last records.
// Records are moved whole; nothing but `score` is compared.

#include <cstdint>

#include "engine/move_record.h"

namespace quorvex {

// Sorts records[lo..hi] (inclusive) by score, non-increasing. Requires
// 0 <= lo and hi to index valid records (an empty or single range is a
// no-op).
void SortByScoreDescending(MoveRecord* records, int32_t lo, int32_t hi);

}  // namespace quorvex

#pragma once
// The ordering of working candidates, highest score first.
//
// Callers depend on the exact order in which equal scores come out (the
// move decision draws from the list, the threat search expands it in
// order), so this is one particular quicksort, kept as it is: a Hoare
// partition around a pivot picked from the first, middle and last records.
// The order it leaves is a function of the sequence of scores alone, so it
// may run on any element that carries a score (whole records, or compact
// keys that stand for them) and leave the same permutation.

#include <cstdint>
#include <utility>

#include "game/move_record.h"

namespace quorvex {

// One partition step of the sort on r[lo..hi] (lo < hi): afterwards every
// element of lo..p scores at least every element of p + 1..hi. Returns p,
// with lo <= p < hi.
template <typename Element, typename ScoreOf>
int32_t PartitionDescending(Element* r, int32_t lo, int32_t hi, ScoreOf scoreOf) {
  // 1. The pivot: the middle element when the ends are in ascending order,
  //    else the first, the last or the middle as the middle score compares.
  const int32_t m = (lo + hi) / 2;
  int32_t pivot = m;
  if (!(scoreOf(r[lo]) < scoreOf(r[hi]))) {
    if (scoreOf(r[m]) >= scoreOf(r[lo])) {
      pivot = lo;
    } else if (scoreOf(r[m]) <= scoreOf(r[hi])) {
      pivot = hi;
    }
  }
  // 2. Move it to the front.
  std::swap(r[lo], r[pivot]);
  const int32_t p = scoreOf(r[lo]);
  // 3. Hoare's crossing scan: higher scores to the left, lower to the right.
  int32_t i = lo - 1;
  int32_t j = hi + 1;
  for (;;) {
    do --j; while (scoreOf(r[j]) < p);
    do ++i; while (scoreOf(r[i]) > p);
    if (i >= j) return j;
    std::swap(r[i], r[j]);
  }
}

// Sorts r[lo..hi] (inclusive) by scoreOf(element), non-increasing. An empty
// or single range is a no-op.
template <typename Element, typename ScoreOf>
void QuickSortDescending(Element* r, int32_t lo, int32_t hi, ScoreOf scoreOf) {
  // Sort(lo, hi): recurse into the left part, loop on the right.
  auto sortRange = [r, scoreOf](auto& self, int32_t left, int32_t right) -> void {
    while (left < right) {
      const int32_t p = PartitionDescending(r, left, right, scoreOf);
      self(self, left, p);
      left = p + 1;
    }
  };
  sortRange(sortRange, lo, hi);
}

// The sort on whole records, by `score`.
inline void SortByScoreDescending(MoveRecord* records, int32_t lo, int32_t hi) {
  QuickSortDescending(records, lo, hi, [](const MoveRecord& record) { return record.score; });
}

}  // namespace quorvex

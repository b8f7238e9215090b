#include "eval/candidate_sort.h"

#include <utility>

namespace quorvex {
namespace {

int32_t Partition(MoveRecord* r, int32_t lo, int32_t hi) {
  // 1. The pivot: the middle record when the ends are in ascending order,
  //    else the first, the last or the middle as the middle score compares.
  const int32_t m = (lo + hi) / 2;
  int32_t pivot = 0;
  if (r[lo].score < r[hi].score) {
    pivot = m;
  } else if (r[m].score >= r[lo].score) {
    pivot = lo;
  } else if (r[m].score <= r[hi].score) {
    pivot = hi;
  } else {
    pivot = m;
  }

  // 2. Move it to the front.
  std::swap(r[lo], r[pivot]);
  const int32_t p = r[lo].score;

  // 3. Hoare's crossing scan: higher scores to the left, lower to the right.
  int32_t i = lo - 1;
  int32_t j = hi + 1;
  for (;;) {
    do --j; while (r[j].score < p);
    do ++i; while (r[i].score > p);
    if (i >= j) return j;
    std::swap(r[i], r[j]);
  }
}

}  // namespace

void SortByScoreDescending(MoveRecord* records, int32_t lo, int32_t hi) {
  while (lo < hi) {
    const int32_t p = Partition(records, lo, hi);
    SortByScoreDescending(records, lo, p);
    lo = p + 1;
  }
}

}  // namespace quorvex

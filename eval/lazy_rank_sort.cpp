#include "eval/lazy_rank_sort.h"

#include <algorithm>
#include <utility>

#include "eval/candidate_sort.h"

namespace quorvex {
namespace {

int32_t ScoreOfKey(uint32_t key) { return static_cast<int32_t>(key >> 16); }

// Keys ordered by their scores alone: the score kept in place in the high
// bits, the candidate number masked off.
int32_t ScoreBitsOfKey(uint32_t key) { return static_cast<int32_t>(key & 0xffff0000u); }

std::size_t TableStart(int32_t length) {
  return static_cast<std::size_t>(length) * static_cast<std::size_t>(length - 1) / 2;
}

}  // namespace

EqualRunOrders::EqualRunOrders()
    : orders_(std::make_unique_for_overwrite<uint16_t[]>(TableStart(MaxLength + 1))),
      built_(MaxLength + 1, 0) {}

const uint16_t* EqualRunOrders::Order(int32_t length) {
  uint16_t* order = orders_.get() + TableStart(length);
  if (built_[static_cast<std::size_t>(length)]) return order;
  if (length == 1) {
    order[0] = 0;
  } else {
    // The partition reverses the run and keeps the first ceil(L / 2) of the
    // reversed run on its left; then each part is sorted on its own.
    const int32_t left = (length + 1) / 2;
    const uint16_t* leftOrder = Order(left);
    const uint16_t* rightOrder = Order(length - left);
    for (int32_t t = 0; t < length; ++t) {
      const int32_t reversed = length - 1 - t;
      order[t] = static_cast<uint16_t>(reversed < left ? leftOrder[reversed]
                                                       : left + rightOrder[reversed - left]);
    }
  }
  built_[static_cast<std::size_t>(length)] = 1;
  return order;
}

LazyRankSort::LazyRankSort(int32_t maxKeys) {
  pending_.reserve(static_cast<std::size_t>(maxKeys) + 1);
  scratch_.resize(EqualRunOrders::MaxLength);
}

void LazyRankSort::Start(uint32_t* keys, int32_t n) {
  keys_ = keys;
  n_ = n;
  sorted_ = 0;
  pending_.clear();
  if (n > 0) pending_.push_back({1, n});
}

bool LazyRankSort::AllEqual(int32_t lo, int32_t hi) const {
  const int32_t score = ScoreOfKey(keys_[lo]);
  if (ScoreOfKey(keys_[hi]) != score) return false;
  for (int32_t i = lo + 1; i < hi; ++i) {
    if (ScoreOfKey(keys_[i]) != score) return false;
  }
  return true;
}

void LazyRankSort::PlaceEqualRun(int32_t lo, int32_t hi) {
  const int32_t length = hi - lo + 1;
  const uint16_t* order = orders_.Order(length);
  for (int32_t t = 0; t < length; ++t) scratch_[order[t]] = keys_[lo + t];
  std::copy(scratch_.begin(), scratch_.begin() + length, keys_ + lo);
}

// The ranges of the quicksort, leftmost first: a range either is final
// (one key, or equal scores placed by their table) or is partitioned into
// two ranges that take its place.
void LazyRankSort::SortMore(int32_t q) {
  q = std::min(q, n_);
  while (sorted_ < q) {
    const Range range = pending_.back();
    pending_.pop_back();
    if (range.lo == range.hi) {
      sorted_ = range.hi;
    } else if (range.hi - range.lo < EqualRunOrders::MaxLength && AllEqual(range.lo, range.hi)) {
      PlaceEqualRun(range.lo, range.hi);
      sorted_ = range.hi;
    } else {
      const int32_t p = PartitionDescending(keys_, range.lo, range.hi, ScoreBitsOfKey);
      pending_.push_back({p + 1, range.hi});
      pending_.push_back({range.lo, p});
    }
  }
}

}  // namespace quorvex

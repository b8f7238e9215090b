#include "eval/lazy_rank_sort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "eval/candidate_sort.h"

namespace quorvex {
namespace {

int32_t ScoreOfKey(RankKey key) { return key.score; }

std::size_t TableStart(int32_t length) {
  return static_cast<std::size_t>(length) * static_cast<std::size_t>(length - 1) / 2;
}

// A hash of scores[1..n] for the table's index, four words at a time. Its
// quality only spreads the slots: a slot is taken up only when its sequence
// compares equal.
uint64_t HashScores(const uint16_t* scores, int32_t n) {
  constexpr uint64_t kMultiplier = 0x9e3779b97f4a7c15u;
  std::array<uint64_t, 4> lanes = {1, 2, 3, 4};
  const uint16_t* s = scores + 1;
  int32_t i = 0;
  for (; i + 16 <= n; i += 16) {
    for (std::size_t lane = 0; lane < lanes.size(); ++lane) {
      uint64_t word;
      std::memcpy(&word, s + i + 4 * lane, sizeof word);
      lanes[lane] = (lanes[lane] ^ word) * kMultiplier;
    }
  }
  uint64_t h = static_cast<uint64_t>(n);
  for (; i < n; ++i) h = (h ^ s[i]) * kMultiplier;
  for (const uint64_t lane : lanes) h = std::rotl(h, 23) ^ lane;
  h ^= h >> 32;
  h *= kMultiplier;
  return h ^ (h >> 29);
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

LazyRankSort::LazyRankSort(int32_t maxKeys, int32_t cachedOrders)
    : order_(&fresh_), cache_(static_cast<std::size_t>(cachedOrders)) {
  fresh_.keys.resize(static_cast<std::size_t>(maxKeys) + 1);
  fresh_.pending.reserve(static_cast<std::size_t>(maxKeys) + 1);
  scratch_.resize(EqualRunOrders::MaxLength);
}

void LazyRankSort::Begin(Order& order, const uint16_t* scores, int32_t n) {
  if (order.keys.size() < static_cast<std::size_t>(n) + 1) order.keys.resize(static_cast<std::size_t>(n) + 1);
  for (int32_t i = 1; i <= n; ++i) order.keys[static_cast<std::size_t>(i)] = {static_cast<uint16_t>(i), scores[i]};
  order.n = n;
  order.sorted = 0;
  order.pending.clear();
  if (n > 0) order.pending.push_back({1, n});
}

void LazyRankSort::Start(const uint16_t* scores, int32_t n) {
  if (cache_.empty() || n < MinCachedLength || n > MaxCachedLength) {
    Begin(fresh_, scores, n);
    order_ = &fresh_;
    return;
  }
  const uint64_t hash = HashScores(scores, n);
  CachedOrder& slot = cache_[hash % cache_.size()];
  order_ = &slot.order;
  if (slot.hash == hash && slot.order.n == n && std::equal(scores + 1, scores + n + 1, slot.scores.begin() + 1)) {
    return;
  }
  slot.hash = hash;
  slot.scores.assign(scores, scores + n + 1);
  Begin(slot.order, scores, n);
}

bool LazyRankSort::AllEqual(int32_t lo, int32_t hi) const {
  const RankKey* keys = order_->keys.data();
  const int32_t score = ScoreOfKey(keys[lo]);
  if (ScoreOfKey(keys[hi]) != score) return false;
  for (int32_t i = lo + 1; i < hi; ++i) {
    if (ScoreOfKey(keys[i]) != score) return false;
  }
  return true;
}

void LazyRankSort::PlaceEqualRun(int32_t lo, int32_t hi) {
  RankKey* keys = order_->keys.data();
  const int32_t length = hi - lo + 1;
  const uint16_t* order = orders_.Order(length);
  for (int32_t t = 0; t < length; ++t) scratch_[order[t]] = keys[lo + t];
  std::copy(scratch_.begin(), scratch_.begin() + length, keys + lo);
}

// The ranges of the quicksort, leftmost first: a range either is final
// (one key, or equal scores placed by their table) or is partitioned into
// two ranges that take its place.
void LazyRankSort::SortMore(int32_t q) {
  Order& order = *order_;
  q = std::min(q, order.n);
  while (order.sorted < q) {
    const Range range = order.pending.back();
    order.pending.pop_back();
    if (range.lo == range.hi) {
      order.sorted = range.hi;
    } else if (range.hi - range.lo < EqualRunOrders::MaxLength && AllEqual(range.lo, range.hi)) {
      PlaceEqualRun(range.lo, range.hi);
      order.sorted = range.hi;
    } else {
      const int32_t p = PartitionDescending(order.keys.data(), range.lo, range.hi, ScoreOfKey);
      order.pending.push_back({p + 1, range.hi});
      order.pending.push_back({range.lo, p});
    }
  }
}

}  // namespace quorvex

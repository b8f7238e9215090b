#pragma once
// The ranking's quicksort, carried only as far as a reader looks.
//
// A reader of a ranked list often needs only its head: the threat search
// reads the fours, or the threes, of a list of hundreds of candidates. The
// quicksort sorts the two parts of each partition independently of each
// other, so its ranges may be taken in any order and leave the same
// permutation. Taken leftmost first, positions become final from the front,
// and ranges that lie wholly past the last position read are never sorted.
//
// A range whose scores are all equal needs no comparisons: the partition
// reverses it and splits it after ceil(L / 2), then does the same to each
// half, so where each element ends depends on the range's length alone and
// is read from a table.

#include <cstdint>
#include <memory>
#include <vector>

namespace quorvex {

// Where the quicksort moves each element of an all-equal range of length L:
// Order(L)[t] is the final offset of the element that starts at offset t.
class EqualRunOrders {
 public:
  static constexpr int32_t MaxLength = 512;  // longer runs are partitioned as usual

  EqualRunOrders();
  // Requires 1 <= length <= MaxLength. Fills the table of `length` (and of
  // the halves it is made of) on first use.
  const uint16_t* Order(int32_t length);

 private:
  std::unique_ptr<uint16_t[]> orders_;  // the table of L starts at L * (L - 1) / 2
  std::vector<uint8_t> built_;
};

// What the sort moves: a candidate's number and its score.
struct RankKey {
  uint16_t candidate;
  uint16_t score;
};

// Sorts candidates 1..n by score, non-increasing, by exactly the permutation
// QuickSortDescending leaves on keys {i, score of i} in that order, one
// prefix at a time.
//
// The permutation depends on the sequence of scores alone, and a search
// meets the same sequence again and again: transposed lines reach the same
// position, and positions that differ away from the candidates give the
// same scores. So the orders of recent sequences are kept, each as far as
// it has been sorted, in a table of slots indexed by a hash of the
// sequence; a sequence found there, compared score for score, takes up its
// order where it was left. Lists shorter than MinCachedLength or longer
// than MaxCachedLength are sorted afresh each time. The table's memory
// grows with use, to a bound of about slots * MaxCachedLength * 6 bytes.
class LazyRankSort {
 public:
  static constexpr int32_t DefaultCachedOrders = 1024;
  static constexpr int32_t MinCachedLength = 24;  // shorter lists sort faster than they hash
  static constexpr int32_t MaxCachedLength = 768;

  // Room for up to `maxKeys` keys, and `cachedOrders` slots of the table
  // (0: every list is sorted afresh).
  explicit LazyRankSort(int32_t maxKeys, int32_t cachedOrders = DefaultCachedOrders);

  // Starts over on the candidates 1..n with scores[1..n]; the scores are
  // read here and not kept.
  void Start(const uint16_t* scores, int32_t n);

  // Makes places 1..q final (q is clamped to n). Cheap once they are.
  void SortThrough(int32_t q) {
    if (q > order_->sorted) SortMore(q);
  }
  // The candidate at place i, once places 1..i are final.
  int32_t Candidate(int32_t i) const { return order_->keys[static_cast<std::size_t>(i)].candidate; }

 private:
  struct Range {
    int32_t lo;
    int32_t hi;
  };
  // One sequence's keys as far as they are sorted.
  struct Order {
    std::vector<RankKey> keys;    // 1..n
    std::vector<Range> pending;   // ranges not yet sorted; the leftmost is last
    int32_t n = 0;
    int32_t sorted = 0;           // places 1..sorted are final
  };
  struct CachedOrder {
    uint64_t hash = 0;
    std::vector<uint16_t> scores;  // the sequence, 1..n (n is order.n)
    Order order;
  };

  static void Begin(Order& order, const uint16_t* scores, int32_t n);
  void SortMore(int32_t q);
  bool AllEqual(int32_t lo, int32_t hi) const;
  void PlaceEqualRun(int32_t lo, int32_t hi);

  Order* order_;
  Order fresh_;  // the order of a list not cached
  std::vector<CachedOrder> cache_;
  EqualRunOrders orders_;
  std::vector<RankKey> scratch_;
};

}  // namespace quorvex

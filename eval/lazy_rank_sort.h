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

// Sorts keys that carry a score in their high 16 bits, non-increasing, by
// exactly the permutation QuickSortDescending leaves, one prefix at a time.
class LazyRankSort {
 public:
  // Room for up to `maxKeys` keys.
  explicit LazyRankSort(int32_t maxKeys);

  // Starts over on keys[1..n], which stay the caller's and must not change
  // until the next Start except through this sorter.
  void Start(uint32_t* keys, int32_t n);

  // Makes keys[1..q] final (q is clamped to n). Cheap once they are.
  void SortThrough(int32_t q) {
    if (q > sorted_) SortMore(q);
  }

 private:
  struct Range {
    int32_t lo;
    int32_t hi;
  };

  void SortMore(int32_t q);
  bool AllEqual(int32_t lo, int32_t hi) const;
  void PlaceEqualRun(int32_t lo, int32_t hi);

  uint32_t* keys_ = nullptr;
  int32_t n_ = 0;
  int32_t sorted_ = 0;          // keys 1..sorted_ are final
  std::vector<Range> pending_;  // ranges not yet sorted; the leftmost is last
  EqualRunOrders orders_;
  std::vector<uint32_t> scratch_;
};

}  // namespace quorvex

// The ranking's fixed quicksort on hand-made candidate lists.

#include "eval/candidate_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace quorvex {
namespace {

TEST(QuickSortDescending, SortsAndMovesRecordsWhole) {
  std::mt19937 rng(7);
  for (int32_t round = 0; round < 300; ++round) {
    const auto n = static_cast<int32_t>(rng() % 60);
    std::vector<MoveRecord> r(static_cast<std::size_t>(n) + 1);
    for (int32_t i = 1; i <= n; ++i) {
      r[static_cast<std::size_t>(i)].score = static_cast<int32_t>(20 + 10 * (rng() % 4));  // many ties
      r[static_cast<std::size_t>(i)].x = i;
    }
    std::vector<MoveRecord> sorted = r;
    SortByScoreDescending(sorted.data(), 1, n);
    std::vector<int32_t> seen;
    for (int32_t i = 1; i <= n; ++i) {
      const MoveRecord& e = sorted[static_cast<std::size_t>(i)];
      if (i > 1) {
        ASSERT_LE(e.score, sorted[static_cast<std::size_t>(i) - 1].score);
      }
      ASSERT_EQ(e.score, r[static_cast<std::size_t>(e.x)].score) << "record split";
      seen.push_back(e.x);
    }
    std::sort(seen.begin(), seen.end());
    for (int32_t i = 1; i <= n; ++i) ASSERT_EQ(seen[static_cast<std::size_t>(i) - 1], i);
  }
}

TEST(QuickSortDescending, OrdersTiesTheFixedWay) {
  // Eight equal scores tagged 1..8 in the order a lone stone's neighbours
  // are collected; the partition's swaps must leave them in the order that
  // stone's listing shows: (11,12) (11,10) (10,12) (12,10) (12,12) ...
  std::vector<MoveRecord> r(9);
  for (int32_t i = 1; i <= 8; ++i) r[static_cast<std::size_t>(i)] = {.x = i, .score = 30};
  SortByScoreDescending(r.data(), 1, 8);
  std::vector<int32_t> order;
  for (int32_t i = 1; i <= 8; ++i) order.push_back(r[static_cast<std::size_t>(i)].x);
  EXPECT_EQ(order, (std::vector<int32_t>{6, 5, 8, 7, 2, 1, 4, 3}));
}

}  // namespace
}  // namespace quorvex

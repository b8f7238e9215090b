// The caps of the selection.

#include "eval/candidate_selection.h"

#include <gtest/gtest.h>

#include <utility>

namespace quorvex {
namespace {

TEST(ListCap, ByLevel) {
  const std::pair<int32_t, int32_t> cases[] = {{-5, 12}, {0, 12}, {1, 12}, {2, 10}, {3, 8},
                                               {4, 8},   {5, 6},  {6, 6},  {9999, 6}, {10001, 6}};
  for (const auto& [level, cap] : cases) EXPECT_EQ(ListCap(level), cap) << "level " << level;
}

}  // namespace
}  // namespace quorvex

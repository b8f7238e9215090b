#include <gtest/gtest.h>

#include "search/time_budget.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

TEST(SearchTimeLimit, IsFourFifthsOfTheTurnRoundedHalfToEven) {
  EXPECT_EQ(SearchTimeLimit(5000, false, 0), 4000);
  EXPECT_EQ(SearchTimeLimit(0, false, 0), 0);
  EXPECT_EQ(SearchTimeLimit(1, false, 0), 1);    // 0.8
  EXPECT_EQ(SearchTimeLimit(3, false, 0), 2);    // 2.4
  EXPECT_EQ(SearchTimeLimit(5, false, 0), 4);
  EXPECT_EQ(SearchTimeLimit(30000, false, 0), 24000);
  EXPECT_EQ(SearchTimeLimit(25, false, 0), 20);
}

TEST(SearchTimeLimit, TheMatchClockCapsTheTurnOnceReported) {
  // Gomocup's main league: 30 s a move, 180 s a game.
  EXPECT_EQ(SearchTimeLimit(30000, true, 180000), 17900);
  EXPECT_EQ(SearchTimeLimit(30000, true, 500000), 24000) << "the turn limit still holds";
  EXPECT_EQ(SearchTimeLimit(30000, true, 1000), 0) << "only the reserve is left";
  EXPECT_EQ(SearchTimeLimit(30000, true, -5), 0);
  // Without a turn limit the match clock is not consulted.
  EXPECT_EQ(SearchTimeLimit(0, true, 180000), 0);
}

TEST(SearchTimeLimit, AGameSpendingItsWholeAllowanceNeverRunsOut) {
  // Every move spends its full limit plus 4 ms of work outside the search
  // (the decision's other steps take well under one); the match clock must
  // not reach zero in the 200 moves a side can make on a 20x20 board.
  for (const auto& [turn, match] : {std::pair{30000, 180000}, std::pair{5000, 120000}}) {
    int64_t left = match;
    for (int move = 0; move < 200; ++move) {
      left -= SearchTimeLimit(turn, true, static_cast<int32_t>(left)) + 4;
      ASSERT_GT(left, 0) << "move " << move << " with " << turn << "/" << match;
    }
  }
}

TEST(SearchTimeLimit, TheLoopTakesTimeLeftFromInfo) {
  test::Conversation brain;
  EXPECT_EQ(brain.Say("INFO time_left 123456"), "");
  EXPECT_TRUE(brain.engine().TimeLeftKnown);
  EXPECT_EQ(brain.engine().msTimeLeft, 123456);
}

}  // namespace
}  // namespace quorvex

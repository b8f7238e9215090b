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
  EXPECT_EQ(SearchTimeLimit(30000, true, 500), -50) << "below the reserve no node expands";
  EXPECT_LT(SearchTimeLimit(30000, true, -2147483647 - 1), 0);
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

TEST(SearchTimeLimit, TheLoopTakesTimeLeftFromInfoForOneGame) {
  test::Conversation brain;
  brain.Ask("START 20");
  brain.Ask("INFO timeout_turn 30000");
  EXPECT_EQ(brain.Say("INFO time_left 123456"), "");
  EXPECT_EQ(brain.engine().TurnSearchLimit(), 12245) << "a tenth of the time left past the reserve";
  EXPECT_EQ(brain.Say("INFO timeout_match 0"), "");
  EXPECT_EQ(brain.engine().TurnSearchLimit(), 24000) << "0 is a match without a time limit";
  brain.Ask("INFO timeout_match 180000");
  EXPECT_EQ(brain.engine().TurnSearchLimit(), 12245);
  brain.Ask("START 20");
  EXPECT_EQ(brain.engine().TurnSearchLimit(), 24000) << "a new game waits for its own report";
}

TEST(SearchTimeLimit, ANearlySpentMatchClockStopsTheSearchBelowTheRoot) {
  // The engine's open three: unlimited, the search proves both ends won.
  // With 500 ms of match time left nothing below the root expands, so the
  // verdicts are time-outs and nothing is recorded from the search.
  for (const bool spent : {false, true}) {
    test::Conversation brain;
    brain.Ask("START 20");
    brain.Ask("INFO timeout_turn 30000");
    brain.Ask("INFO timeout_match 180000");
    if (spent) brain.Ask("INFO time_left 500");
    brain.Say("BOARD");
    for (const char* stone : {"8,9,1", "2,16,2", "9,9,1", "16,2,2", "10,9,1", "16,16,2"}) brain.Say(stone);
    brain.Ask("DONE");
    MoveRecord answer;
    brain.engine().store().LookupOpening(brain.engine().game().PrevPositionKey(), answer);
    EXPECT_EQ(answer.score, spent ? 1 : 4600) << (spent ? "spent" : "unlimited");
  }
}

}  // namespace
}  // namespace quorvex

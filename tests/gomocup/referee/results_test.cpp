// The match score, the Elo difference it implies and its interval, and the
// results table.

#include "tools/gomocup/referee/results.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvex::match {
namespace {

TEST(ResultsTest, EloFromScoreWithInterval) {
  struct Case {
    Tally tally;
    double elo, low, high;
  };
  const std::vector<Case> cases = {
      // Even: 0 with a symmetric interval.
      {{5, 5, 0, 0}, 0.0, -251.8, 251.8},
      // 75 %: -400 log10(1/3) = +190.8; se = sqrt(0.1875 / 4) = 0.2165, so the
      // score runs from 0.326 to past 1.
      {{3, 1, 0, 0}, 190.8, -126.5, INFINITY},
      // All draws: no spread.
      {{0, 0, 4, 0}, 0.0, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    const EloEstimate e = EstimateElo(c.tally);
    EXPECT_NEAR(e.difference, c.elo, 0.5);
    if (std::isinf(c.high)) {
      EXPECT_TRUE(std::isinf(e.high) && e.high > 0);
    } else {
      EXPECT_NEAR(e.high, c.high, 1.0);
    }
    EXPECT_NEAR(e.low, c.low, 1.0);
  }
  const EloEstimate sweep = EstimateElo({4, 0, 0, 0});
  EXPECT_TRUE(std::isinf(sweep.difference) && sweep.difference > 0);
}

TEST(ResultsTest, NoMinusZeroAndNotEnoughGamesUntilTheIntervalMeansSomething) {
  const auto eloLine = [](const Tally& tally) {
    const std::string table = FormatResults(tally, "a", "b");
    return table.substr(table.find("Elo"));
  };
  // One game, a sweep, all draws, one each: no finite interval with a width.
  for (const Tally& few : {Tally{1, 0, 0, 0}, Tally{0, 1, 0, 1}, Tally{6, 0, 0, 0},
                           Tally{0, 0, 4, 0}, Tally{1, 1, 0, 0}}) {
    EXPECT_EQ(eloLine(few), "Elo difference (1 - 2): not enough games\n") << few.games();
  }
  EXPECT_EQ(eloLine({3, 3, 0, 0}), "Elo difference (1 - 2): 0, 95% interval [-382, +382]\n");
  // A hair under even is still 0, never "-0".
  const std::string close = eloLine({499, 500, 0, 0});
  EXPECT_EQ(close.find("-0"), std::string::npos) << close;
  EXPECT_EQ(close.rfind("Elo difference (1 - 2): 0, 95% interval [-", 0), 0u) << close;
}

TEST(ResultsTest, TableShowsBothSidesOfTheScore) {
  const std::string table = FormatResults({3, 1, 2, 1}, "alpha", "beta");
  EXPECT_NE(table.find("1: alpha      3      1     2     4.0"), std::string::npos) << table;
  EXPECT_NE(table.find("2: beta       1      3     2     2.0"), std::string::npos) << table;
  EXPECT_NE(table.find("games 6, forfeits 1"), std::string::npos);
  EXPECT_NE(table.find("Elo difference (1 - 2): +120, 95% interval ["), std::string::npos) << table;
}

}  // namespace
}  // namespace quorvex::match

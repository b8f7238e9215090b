// Matches of many games against scripted brains: processes fresh or kept,
// started again after a death, colours and openings.

#include "tools/match/match_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/gomocup/gomocup_test_support.h"

namespace quorvex::match {
namespace {

using test::CountLines;
using test::MakeBrain;
using test::ReadFile;
using test::ScratchDir;
using test::ScriptedCommand;

// Plays `games` games of the good brain (first) against `second`, each with
// its own log, and returns the report.
MatchReport LoggedMatch(const std::string& firstLog, const std::string& secondCommand, int games,
                        bool reuse, const GameSettings& settings) {
  auto first = MakeBrain(ScriptedCommand("good", "--log " + firstLog), !reuse);
  auto second = MakeBrain(secondCommand, !reuse);
  MatchPlan plan;
  plan.games = games;
  plan.settings = settings;
  std::ostringstream log;
  return RunMatch(*first, *second, plan, log);
}

TEST(MatchRunnerTest, FreshProcessesPerGameOrOneProcessWithStartBetweenGames) {
  for (const bool reuse : {false, true}) {
    ScratchDir dir;
    const MatchReport report =
        LoggedMatch(dir.File("first.log"), ScriptedCommand("good"), 3, reuse, test::FastSettings());
    ASSERT_EQ(report.games.size(), 3u);
    const std::string text = ReadFile(dir.File("first.log"));
    EXPECT_EQ(CountLines(text, "CWD ", true), reuse ? 1 : 3) << "reuse " << reuse;
    EXPECT_EQ(CountLines(text, "START 20"), 3);
    EXPECT_EQ(CountLines(text, "END"), reuse ? 1 : 3);
    // White wins every game between two good brains, and colours alternate.
    EXPECT_EQ(report.tally.wins, 1);
    EXPECT_EQ(report.tally.losses, 2);
    EXPECT_EQ(ExitCodeOf(report), 0);
  }
}

TEST(MatchRunnerTest, AKilledBrainIsStartedAgainForTheNextGame) {
  ScratchDir dir;
  const std::string hangLog = dir.File("hang.log");
  GameSettings settings = test::FastSettings();
  settings.turnMs = 150;
  settings.toleranceMs = 50;
  const MatchReport report = LoggedMatch(
      dir.File("first.log"), ScriptedCommand("hang", "--log " + hangLog), 2, true, settings);
  ASSERT_EQ(report.games.size(), 2u);
  EXPECT_EQ(report.tally.wins, 2);
  EXPECT_EQ(report.tally.forfeits, 2);
  EXPECT_EQ(CountLines(ReadFile(hangLog), "CWD ", true), 2);
  EXPECT_EQ(ExitCodeOf(report), 1);
}

TEST(MatchRunnerTest, AKeptBrainThatDiedBetweenGamesIsStartedAgain) {
  ScratchDir dir;
  const std::string shortLog = dir.File("short.log");
  auto first = MakeBrain(ScriptedCommand("short", "--log " + shortLog), false);
  auto second = MakeBrain(ScriptedCommand("good"), false);
  MatchPlan plan;
  plan.games = 2;
  plan.settings = test::FastSettings();
  // Black's first free point in reading order, a1, completes a1-e1: the
  // short brain's one move wins game 1, then it ends.
  plan.openings = {{{1, 0}, {0, 9}, {2, 0}, {0, 10}, {3, 0}, {0, 11}, {4, 0}, {0, 12}}};
  std::ostringstream log;
  const MatchReport report = RunMatch(*first, *second, plan, log);
  EXPECT_TRUE(report.abortReason.empty()) << report.abortReason;
  ASSERT_EQ(report.games.size(), 2u) << log.str();
  EXPECT_EQ(report.games[0].ending, Ending::Five);
  EXPECT_EQ(report.games[0].board.moves().size(), 9u);
  EXPECT_EQ(CountLines(ReadFile(shortLog), "CWD ", true), 2);
}

TEST(MatchRunnerTest, ColoursAlternateAndOpeningsArePlayedTwice) {
  auto first = MakeBrain(ScriptedCommand("good"));
  auto second = MakeBrain(ScriptedCommand("message"));
  MatchPlan plan;
  plan.games = 4;
  plan.settings = test::FastSettings();
  plan.openings = {{{3, 3}}, {{4, 4}}};
  ScratchDir dir;
  plan.outDir = dir.path();
  std::ostringstream log;
  const MatchReport report = RunMatch(*first, *second, plan, log);
  ASSERT_EQ(report.games.size(), 4u) << log.str();
  const Point openings[4] = {{3, 3}, {3, 3}, {4, 4}, {4, 4}};
  for (int g = 0; g < 4; ++g) {
    const auto& moves = report.games[static_cast<size_t>(g)].board.moves();
    ASSERT_GE(moves.size(), 2u);
    EXPECT_EQ(moves[0].point, openings[g]) << "game " << g + 1;
    // White's first stone tells who had white: the message brain plays from
    // the far corner, the good brain from 0,0.
    const Point whiteFirst = g % 2 == 0 ? Point{19, 19} : Point{0, 0};
    EXPECT_EQ(moves[1].point, whiteFirst) << "game " << g + 1;
    const std::string stem = dir.File("game-00" + std::to_string(g + 1));
    EXPECT_EQ(ReadFile(stem + ".psq").rfind("Piskvorky 20x20, 11:11, 0\r\n", 0), 0u);
    EXPECT_NE(ReadFile(stem + ".svg").find("</svg>"), std::string::npos);
  }
  EXPECT_EQ(report.tally.games(), 4);
  EXPECT_NE(log.str().find("1: scripted_brain"), std::string::npos);
}

}  // namespace
}  // namespace quorvex::match

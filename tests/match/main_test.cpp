// quorvex-match as a program: exit codes and messages for bad arguments,
// brains that cannot start or hang, runs with no standard input, and the
// real brain against itself, as CI runs it: a bounded match from four
// openings, every game decided on the board.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "tests/gomocup/gomocup_test_support.h"
#include "tools/gomocup/referee/coordinates.h"
#include "tools/gomocup/referee/game_board.h"
#include "tools/match/serve/event_hub.h"

namespace quorvex::match {
namespace {

using test::ReadFile;
using test::RunProgram;
using test::ScratchDir;
using test::ScriptedCommand;
using test::WriteFile;

std::string Tool() { return QUORVEX_MATCH_PATH; }

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

TEST(CliTest, BadArgumentsAndUnstartableBrainsGiveAMessageAndAnExitCode) {
  ScratchDir dir;
  const std::string good = Quoted(ScriptedCommand("good"));
  WriteFile(dir.File("bad-openings.txt"), "h8 zz\n");
  struct Case {
    std::string args;
    int exitCode;
    const char* messagePart;
  };
  const std::vector<Case> cases = {
      {"", 2, "two players are needed"},
      {"--size 19 " + good + " " + good, 2, "--size must be 15 or 20"},
      {"--games -3 " + good + " " + good, 2, "--games takes a whole number"},
      {"--bogus " + good + " " + good, 2, "unknown option --bogus"},
      {"--openings " + dir.File("missing.txt") + " " + good + " " + good, 2,
       "cannot read openings file"},
      {"--openings " + dir.File("bad-openings.txt") + " " + good + " " + good, 2,
       "openings line 1"},
      {good + " " + dir.File("no-brain"), 3, "cannot start brain"},
      {"--start-ms 300 " + good + " " + Quoted(ScriptedCommand("nostart")), 3,
       "did not answer START 20 within 300 ms"},
  };
  for (const Case& c : cases) {
    const auto result = RunProgram(Tool() + " --out " + dir.File("out") + " " + c.args);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.args << "\n" << result.output;
    EXPECT_NE(result.output.find(c.messagePart), std::string::npos) << c.args << "\n"
                                                                    << result.output;
  }
}

TEST(CliTest, HelpDescribesEveryOption) {
  const auto result = RunProgram(Tool() + " --help");
  EXPECT_EQ(result.exitCode, 0);
  for (const char* option :
       {"--games", "--size", "--turn-ms", "--match-ms", "--tolerance-ms", "--openings", "--reuse",
        "--watch", "--out", "human", "--serve", "--port", "--host"}) {
    EXPECT_NE(result.output.find(option), std::string::npos) << option;
  }
  // The page's bounds, as the server keeps them.
  using serve::EventHub;
  for (const std::string& bound :
       {"last " + std::to_string(EventHub::KeptLogLines) + " log lines",
        "cut after " + std::to_string(EventHub::MaxLogLineBytes) + " bytes",
        "last " + std::to_string(EventHub::KeptRecords) + " games",
        "At most " + std::to_string(EventHub::MaxTabs) + " tabs"}) {
    EXPECT_NE(result.output.find(bound), std::string::npos) << bound;
  }
}

TEST(CliTest, AHangingBrainLosesIsKilledAndTheExitCodeSaysSo) {
  ScratchDir dir;
  const int64_t before = NowMs();
  const auto result =
      RunProgram(Tool() + " --turn-ms 200 --tolerance-ms 100 --out " + dir.path() + " " +
                 Quoted(ScriptedCommand("good")) + " " + Quoted(ScriptedCommand("hang")));
  EXPECT_LT(NowMs() - before, 5000);
  EXPECT_EQ(result.exitCode, 1) << result.output;
  EXPECT_NE(result.output.find("white (scripted_brain) no move within 300 ms"), std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("forfeits 1"), std::string::npos);
}

TEST(CliTest, WatchedGameDrawsEveryMoveAndWritesItsFiles) {
  ScratchDir dir;
  const auto result =
      RunProgram(Tool() + " --watch --size 15 --out " + dir.path() + " " +
                 Quoted(ScriptedCommand("good")) + " " + Quoted(ScriptedCommand("good")));
  ASSERT_EQ(result.exitCode, 0) << result.output;
  const std::string psq = ReadFile(dir.File("game-001.psq"));
  // One board per stone, each framed by two rows of letters.
  // The record's lines: a header, one per stone, two names.
  const int stones = static_cast<int>(std::count(psq.begin(), psq.end(), '\n')) - 3;
  EXPECT_GT(stones, 8);
  EXPECT_EQ(test::CountLines(result.output, "move ", true), stones);
  EXPECT_EQ(test::CountLines(result.output, "    a  b  c  d  e  f  g  h  i  j  k  l  m  n  o"),
            2 * stones + 2);  // and the empty board first
  EXPECT_NE(result.output.find("game 1 ends after " + std::to_string(stones) + " stones"),
            std::string::npos);
  EXPECT_NE(ReadFile(dir.File("game-001.svg")).find("</svg>"), std::string::npos);
}

TEST(CliTest, HumanWithoutATerminalResignsInsteadOfWaiting) {
  for (const bool closed : {false, true}) {
    ScratchDir dir;
    const auto result = RunProgram(
        Tool() + " --out " + dir.path() + " human " + Quoted(ScriptedCommand("good")), closed);
    // A resignation, not a forfeit: the match ends as decided.
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("black (human) no more input on the terminal"), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("games 1, forfeits 0"), std::string::npos) << result.output;
  }
}

TEST(CliTest, BrainsGetTheirPipesEvenWhenTheToolHasNoStandardInput) {
  ScratchDir dir;
  const auto result =
      RunProgram(Tool() + " --games 2 --out " + dir.path() + " " + Quoted(ScriptedCommand("good")) +
                     " " + Quoted(ScriptedCommand("good")),
                 true);
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_NE(result.output.find("games 2, forfeits 0"), std::string::npos) << result.output;
}

TEST(CliTest, ShellScriptBrainRunsInItsOwnDirectory) {
  ScratchDir dir;
  ScratchDir elsewhere;
  // Plays straight down column 0 from its own directory's point of view;
  // records where it was started.
  WriteFile(dir.File("brain.sh"),
            "#!/bin/sh\n"
            "pwd > started-in.txt\n"
            "y=0\n"
            "while IFS= read -r line; do\n"
            "  case \"$line\" in\n"
            "    START*) printf 'OK\\r\\n' ;;\n"
            "    BEGIN*|TURN*) printf '0,%d\\r\\n' $y; y=$((y+1)) ;;\n"
            "    END*) exit 0 ;;\n"
            "  esac\n"
            "done\n",
            true);
  const auto result = RunProgram("cd " + elsewhere.path() + " && " + Tool() + " --out out " +
                                 dir.File("brain.sh") + " " + Quoted(ScriptedCommand("good")));
  EXPECT_EQ(ReadFile(dir.File("started-in.txt")), dir.path() + "\n");
  EXPECT_NE(result.output.find("black (brain.sh) wins with five in a row"), std::string::npos)
      << result.output;
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_FALSE(ReadFile(elsewhere.File("out/game-001.psq")).empty());
}

// Replays a PSQ record on a fresh board: every stone on an empty point,
// alternately black and white. Returns the board, or fails the test.
GameBoard Replay(const std::string& psq, int32_t size) {
  GameBoard board(size);
  std::istringstream lines(psq);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line,
            "Piskvorky " + std::to_string(size) + "x" + std::to_string(size) + ", 11:11, 0\r");
  Stone side = Stone::Black;
  while (std::getline(lines, line)) {
    int x = 0, y = 0, ms = 0;
    char extra = 0;
    if (std::sscanf(line.c_str(), "%d,%d,%d%c", &x, &y, &ms, &extra) != 4 || extra != '\r') break;
    const Point p{x - 1, y - 1};
    EXPECT_TRUE(board.OnBoard(p) && board.At(p) == Stone::Empty) << line;
    if (!board.OnBoard(p) || board.At(p) != Stone::Empty) break;
    EXPECT_FALSE(!board.moves().empty() && board.MakesFive(board.moves().back().point))
        << "a stone after five in a row";
    board.Place({p, side, ms});
    side = Opponent(side);
  }
  EXPECT_EQ(line, "pbrain-quorvex\r");
  return board;
}

TEST(SelfPlayTest, TenGamesOfTheRealBrainEndInFiveOrAFullBoard) {
  ScratchDir dir;
  test::WriteFile(dir.File("openings.txt"), "h8\nh8 i9\nj10 k10 j11\ng7 h8 g9 f8\nk11\n");
  constexpr int kGames = 10;
  // A short turn keeps CI bounded once the brain searches in earnest; the
  // tolerance absorbs a slow sanitizer build.
  const auto result =
      RunProgram(std::string(QUORVEX_MATCH_PATH) + " --games " + std::to_string(kGames) +
                 " --turn-ms 100 --tolerance-ms 2000 --openings " + dir.File("openings.txt") +
                 " --out " + dir.path() + " " + QUORVEX_BRAIN_PATH + " " + QUORVEX_BRAIN_PATH);
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_NE(result.output.find("games 10, forfeits 0"), std::string::npos) << result.output;
  for (int g = 1; g <= kGames; ++g) {
    char stem[32];
    std::snprintf(stem, sizeof stem, "game-%03d", g);
    const GameBoard board = Replay(ReadFile(dir.File(std::string(stem) + ".psq")), 20);
    ASSERT_FALSE(board.moves().empty()) << stem;
    EXPECT_TRUE(board.MakesFive(board.moves().back().point) || board.IsFull()) << stem;
    EXPECT_NE(ReadFile(dir.File(std::string(stem) + ".svg")).find("</svg>"), std::string::npos);
    const std::string ending = "game " + std::to_string(g) + " ends after " +
                               std::to_string(board.moves().size()) + " stones: ";
    const size_t at = result.output.find(ending);
    ASSERT_NE(at, std::string::npos) << ending << "\n" << result.output;
    const size_t from = at + ending.size();
    const std::string verdict = result.output.substr(from, result.output.find('\n', from) - from);
    EXPECT_TRUE(verdict.ends_with(") wins with five in a row") ||
                verdict == "draw: the board is full")
        << verdict;
  }
}

}  // namespace
}  // namespace quorvex::match

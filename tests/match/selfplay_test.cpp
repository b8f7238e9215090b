// The real brain against itself through quorvex-match, as CI runs it: a
// bounded match from four openings, every game decided on the board.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "match_test_support.h"
#include "tools/gomocup/referee/coordinates.h"
#include "tools/gomocup/referee/game_board.h"

namespace quorvex::match {
namespace {

using test::ReadFile;
using test::RunProgram;
using test::ScratchDir;

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

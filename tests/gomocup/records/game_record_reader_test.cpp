// Reading game records back: PSQ (the tool's own and other managers') and
// SGF, the faults that refuse a record and those that only mark it illegal.

#include <gtest/gtest.h>

#include "tests/gomocup/gomocup_test_support.h"
#include "tools/gomocup/records/game_record_reader.h"
#include "tools/gomocup/records/psq_writer.h"

namespace quorvex::match {
namespace {

std::vector<Point> Points(const RecordedGame& game) {
  std::vector<Point> points;
  for (const PlayedMove& move : game.moves) points.push_back(move.point);
  return points;
}

TEST(GameRecordTest, ReadsWhatTheToolWritesAndOtherForms) {
  GameRecord record{GameBoard(15), Ending::Five, Stone::Black, {}, "pbrain-a", "pbrain-b"};
  record.board.Place({{7, 7}, Stone::Black, 0});
  record.board.Place({{0, 14}, Stone::White, 120});
  record.board.Place({{8, 7}, Stone::Black, 3});
  std::string error;
  const auto own = ParseGameRecord(FormatPsq(record), error);
  ASSERT_TRUE(own) << error;
  EXPECT_EQ(own->size, 15);
  EXPECT_EQ(Points(*own), (std::vector<Point>{{7, 7}, {0, 14}, {8, 7}}));
  EXPECT_EQ(own->moves[1].colour, Stone::White);
  EXPECT_EQ(own->moves[1].ms, 120);
  EXPECT_EQ(own->blackName, "pbrain-a");
  EXPECT_EQ(own->whiteName, "pbrain-b");
  EXPECT_TRUE(own->illegal.empty());

  // LF line ends, stones without times, a trailer of another manager.
  const auto other = ParseGameRecord("Piskvorky 20x20, 11:11, 0\n10,10\n11,11\n-1\n", error);
  ASSERT_TRUE(other) << error;
  EXPECT_EQ(Points(*other), (std::vector<Point>{{9, 9}, {10, 10}}));

  // SGF: the main line only, escaped values, setup and other properties skipped.
  const auto sgf = ParseGameRecord(
      "(;GM[4]FF[4]SZ[20]PB[Black \\] one]PW[two]C[note];B[jj];W[kk]"
      "(;B[jk];W[aa])(;B[tt]))",
      error);
  ASSERT_TRUE(sgf) << error;
  EXPECT_EQ(sgf->size, 20);
  EXPECT_EQ(Points(*sgf), (std::vector<Point>{{9, 9}, {10, 10}, {9, 10}, {0, 0}}));
  EXPECT_EQ(sgf->blackName, "Black ] one");
  EXPECT_EQ(sgf->whiteName, "two");
}

TEST(GameRecordTest, RefusesWhatDoesNotParseAndSaysWhere) {
  struct Case {
    const char* text;
    const char* where;
  };
  const std::vector<Case> cases = {
      {"", "line 1"},
      {"hello\n", "line 1"},
      {"Piskvorky 20x15, 11:11, 0\n", "line 1"},
      {"Piskvorky 99x99, 11:11, 0\n", "line 1"},
      {"(;GM[4]SZ[15];B[hh]", "byte"},
      {"(;GM[4];B[h8])", "byte 8"},
      {"(;GM[4];B[hh", "byte 9"},
      {"(;GM[1];B[aa])", "GM[1]"},
      {"(;GM[4];B[aa](;W[bb]", "byte"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseGameRecord(c.text, error)) << c.text;
    EXPECT_NE(error.find(c.where), std::string::npos) << c.text << " -> " << error;
  }
  test::ScratchDir dir;
  std::string error;
  EXPECT_FALSE(LoadGameRecord(dir.File("missing.psq"), error));
  EXPECT_EQ(error.rfind(dir.File("missing.psq"), 0), 0u) << error;
  test::WriteFile(dir.File("bad.psq"), "Piskvorky\n");
  EXPECT_FALSE(LoadGameRecord(dir.File("bad.psq"), error));
  EXPECT_NE(error.find("bad.psq: line 1"), std::string::npos) << error;
}

TEST(GameRecordTest, MarksIllegalMovesAndKeepsThoseBefore) {
  struct Case {
    const char* text;
    const char* fault;
    size_t kept;
  };
  const std::vector<Case> cases = {
      {"Piskvorky 15x15, 11:11, 0\n1,1\n1,1\n", "move 2, a1 (0,0) is occupied", 1},
      {"Piskvorky 15x15, 11:11, 0\n1,1\n16,1\n", "move 2, 15,0 is off the board", 1},
      {"Piskvorky 15x15, 11:11, 0\n0,3\n", "move 1, -1,2 is off the board", 0},
      // The lowest 32-bit number: still off the board, never an overflow.
      {"Piskvorky 15x15, 11:11, 0\n-2147483648,1\n", "move 1, -2147483648,0 is off the board", 0},
      {"(;GM[4];B[aa];B[bb])", "move 2, b2 (1,1) is played by black out of turn", 1},
      {"Piskvorky 15x15, 11:11, 0\n1,1\n1,2\n2,1\n2,2\n3,1\n3,2\n4,1\n4,2\n5,1\n5,2\n",
       "move 10, e2 (4,1) comes after a five", 9},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto game = ParseGameRecord(c.text, error);
    ASSERT_TRUE(game) << c.text << " -> " << error;
    EXPECT_EQ(game->illegal, c.fault);
    EXPECT_EQ(game->moves.size(), c.kept) << c.text;
  }
}

}  // namespace
}  // namespace quorvex::match

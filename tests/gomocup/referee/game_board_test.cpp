// The referee's board: five or more in a row wins, and the row it makes.

#include "tools/gomocup/referee/game_board.h"

#include <gtest/gtest.h>

#include "tests/gomocup/gomocup_test_support.h"

namespace quorvex::match {
namespace {

using test::BlackAt;

TEST(GameBoardTest, FiveOrMoreInAnyDirectionWinsFourDoesNot) {
  struct Case {
    const char* name;
    std::vector<Point> stones;
    Point probe;
    bool five;
  };
  const std::vector<Case> cases = {
      {"row", {{3, 7}, {4, 7}, {5, 7}, {6, 7}, {7, 7}}, {5, 7}, true},
      {"column at the edge", {{0, 10}, {0, 11}, {0, 12}, {0, 13}, {0, 14}}, {0, 14}, true},
      {"diagonal", {{2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}}, {2, 2}, true},
      {"anti-diagonal", {{10, 0}, {9, 1}, {8, 2}, {7, 3}, {6, 4}}, {8, 2}, true},
      {"overline of six", {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}, {6, 1}, true},
      {"four", {{1, 1}, {2, 1}, {3, 1}, {4, 1}}, {4, 1}, false},
      {"five with a gap", {{1, 1}, {2, 1}, {3, 1}, {5, 1}, {6, 1}}, {3, 1}, false},
      {"bent line", {{1, 1}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}, {3, 1}, false},
      {"empty probe", {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}, {9, 9}, false},
  };
  for (const Case& c : cases) {
    GameBoard board(15);
    for (const Point p : c.stones) board.Place({p, Stone::Black, 0});
    EXPECT_EQ(board.MakesFive(c.probe), c.five) << c.name;
  }
}

TEST(GameBoardTest, OpponentStoneBreaksTheRun) {
  GameBoard board = BlackAt({{1, 1}, {2, 1}, {4, 1}, {5, 1}, {6, 1}});
  board.Place({{3, 1}, Stone::White, 0});
  EXPECT_FALSE(board.MakesFive({2, 1}));
  EXPECT_FALSE(board.MakesFive({3, 1}));
}

TEST(GameBoardTest, FullBoardAfterEveryPoint) {
  GameBoard board(15);
  for (int32_t i = 0; i < 15 * 15; ++i) {
    EXPECT_FALSE(board.IsFull());
    board.Place({{i % 15, i / 15}, i % 2 ? Stone::White : Stone::Black, 0});
  }
  EXPECT_TRUE(board.IsFull());
  EXPECT_EQ(board.At({15, 0}), Stone::Empty);
  EXPECT_FALSE(board.OnBoard({-1, 3}));
}

TEST(GameBoardTest, FiveThroughGivesTheWinningRowFromEndToEnd) {
  const GameBoard board = test::FiveInARow().board;
  EXPECT_EQ(board.FiveThrough({9, 7}),
            (std::vector<Point>{{7, 7}, {8, 7}, {9, 7}, {10, 7}, {11, 7}}));
  EXPECT_TRUE(board.FiveThrough({9, 8}).empty());  // white's four
}

}  // namespace
}  // namespace quorvex::match

#include <gtest/gtest.h>

#include <random>

#include "game/board.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

using test::BoardFromRows;
using test::PutStones;

Board EmptyBoard(int32_t size = DefaultBoardSize) {
  Board board;
  ClearBoard(board, size);
  return board;
}

TEST(IsFiveAt, FindsFiveOrMoreThroughThePointOnEachLine) {
  struct Case {
    const char* name;
    const char* stones;
    int32_t x, y;
    int32_t expected;
  };
  const Case cases[] = {
      {"row of five", "X:5,9 X:6,9 X:7,9 X:8,9 X:9,9", 7, 9, 1},
      {"column of five", "X:3,3 X:3,4 X:3,5 X:3,6 X:3,7", 3, 3, 1},
      {"rising diagonal", "X:4,4 X:5,5 X:6,6 X:7,7 X:8,8", 8, 8, 1},
      {"falling diagonal", "X:10,2 X:9,3 X:8,4 X:7,5 X:6,6", 8, 4, 1},
      {"overline of six", "X:5,9 X:6,9 X:7,9 X:8,9 X:9,9 X:10,9", 10, 9, 1},
      {"four only", "X:5,9 X:6,9 X:7,9 X:8,9", 8, 9, 0},
      {"broken five", "X:5,9 X:6,9 X:8,9 X:9,9 X:10,9", 6, 9, 0},
      {"run along the edge", "X:1,4 X:2,4 X:3,4 X:4,4 X:5,4", 1, 4, 1},
      {"run in the far corner", "X:20,16 X:20,17 X:20,18 X:20,19 X:20,20", 20, 20, 1},
  };
  for (const Case& c : cases) {
    Board board = EmptyBoard();
    PutStones(board, c.stones);
    EXPECT_EQ(IsFiveAt(CellOwn, board, c.x, c.y), c.expected) << c.name;
    EXPECT_EQ(IsFiveAt(CellOpponent, board, c.x, c.y), 0) << c.name;
  }
}

TEST(IsFiveAt, IgnoresAFiveThatMissesThePoint) {
  Board board = EmptyBoard();
  PutStones(board, "X:5,9 X:6,9 X:7,9 X:8,9 X:9,9 X:7,10");
  EXPECT_EQ(IsFiveAt(CellOwn, board, 7, 10), 0);
  // Five cells away on the same row is outside the window of nine.
  EXPECT_EQ(IsFiveAt(CellOwn, board, 4, 9), 0);
}

TEST(IsFiveAt, NeverCountsTheRingOrCellsPastIt) {
  // A ring is CellBorder, never a stone; cells past the board are skipped
  // rather than read, so a five that needs them is no five.
  Board board = EmptyBoard(15);
  PutStones(board, "X:12,3 X:13,3 X:14,3 X:15,3");
  board.at(16, 3) = CellOwn;  // would complete five if the ring were read
  EXPECT_EQ(IsFiveAt(CellOwn, board, 15, 3), 0);
}

// The test as the rule states it: the nine cells of each line centred on
// the point, cells off the board skipped, five in a row of `code` counted.
int32_t FiveInNineCells(int32_t code, const Board& board, int32_t x, int32_t y) {
  static constexpr int32_t kLines[4][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
  for (const auto& line : kLines) {
    int32_t run = 0;
    for (int32_t i = -4; i <= 4; ++i) {
      const int32_t cx = x + i * line[0];
      const int32_t cy = y + i * line[1];
      if (!board.IsPlayable(cx, cy)) continue;
      run = board.at(cx, cy) == code ? run + 1 : 0;
      if (run == 5) return 1;
    }
  }
  return 0;
}

TEST(IsFiveAt, AgreesWithTheNineCellRuleOnCrowdedBoards) {
  std::mt19937 rng(5);
  int32_t fives = 0;
  for (int32_t round = 0; round < 300; ++round) {
    const auto size = static_cast<int32_t>(MinBoardSize + rng() % (MaxBoardSize - MinBoardSize + 1));
    Board board = EmptyBoard(size);
    for (int32_t x = 1; x <= size; ++x) {
      for (int32_t y = 1; y <= size; ++y) board.at(x, y) = static_cast<int32_t>(rng() % 3 == 0 ? CellEmpty : rng() % 4 ? CellOwn : CellOpponent);
    }
    for (int32_t x = 0; x <= size + 1; ++x) {
      for (int32_t y = 0; y <= size + 1; ++y) {
        for (const int32_t code : {CellOwn, CellOpponent}) {
          ASSERT_EQ(IsFiveAt(code, board, x, y), FiveInNineCells(code, board, x, y)) << x << "," << y;
          fives += IsFiveAt(code, board, x, y);
        }
      }
    }
  }
  EXPECT_GT(fives, 1000);
}

TEST(ClearBoard, LaysTheRingAroundEmptyPoints) {
  for (int32_t size : {20, 15, 11}) {
    Board board = BoardFromRows({"XOXO"}, DefaultBoardSize);
    ClearBoard(board, size);
    const int32_t ring = size + 1;
    for (int32_t x = 0; x < BoardSpan; ++x) {
      for (int32_t y = 0; y < BoardSpan; ++y) {
        const bool onRing = x <= ring && y <= ring && (x == 0 || y == 0 || x == ring || y == ring);
        const int32_t expected = onRing ? CellBorder : CellEmpty;
        ASSERT_EQ(board.at(x, y), expected) << "size " << size << " at " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace quorvex

#include <gtest/gtest.h>

#include "engine/board.h"
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

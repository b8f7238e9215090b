#pragma once
// Fixed positions for the ranking's benchmark and its regression reference:
// one diagram per position, top row y = 1, one character per x from x = 1,
// 'X' the engine's stone, 'O' the opponent's. The middle game and the
// crowded board come from seeded random play near the stones already down,
// with no five on the board.

#include <array>
#include <cstdint>
#include <string_view>

#include "game/board.h"

namespace quorvex::test {

struct FixedPosition {
  std::string_view name;
  std::array<std::string_view, 20> rows;
};

inline constexpr std::string_view kEmptyRow = "....................";

inline constexpr FixedPosition kFixedPositions[] = {
    {"empty", {kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow,
               kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow,
               kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow}},
    // The opening (6 stones).
    {"opening",
     {
      "....................",
      "....................",
      "....................",
      "....................",
      "....................",
      "....................",
      "....................",
      "....................",
      "....................",
      ".........O.O........",
      "..........X.X.......",
      "...........X........",
      "..........O.........",
      "....................",
      "....................",
      "....................",
      "....................",
      "....................",
      "....................",
      "....................",
     }},
    // The middle game (40 stones).
    {"middle game",
     {
      "....................",
      "....................",
      "....................",
      "....................",
      "....................",
      "..........O.X.......",
      "......X...X.........",
      "..........X..O..X...",
      ".......O.O....X.O...",
      "........OO.O..O.....",
      "......X...XOX.......",
      "...XO......X..O.....",
      ".X...OO...OXX.......",
      "..XO.X......X.X.....",
      ".....O..............",
      ".XXO..........O.....",
      "....................",
      ".O..................",
      "....................",
      "....................",
     }},
    // The crowded (120 stones).
    {"crowded",
     {
      ".......OX...........",
      ".......XX..........O",
      "..........X.........",
      "......X.X.........X.",
      ".........XOO........",
      "......O.O.X.O....OX.",
      "...O......XX....XOX.",
      "XOX.OOX....OO.X.XO..",
      "X..XO...XX..O....X..",
      "OX....O..OXO..O..O.X",
      "..OOOX.O..XXX.OXO...",
      "O....OOOOXOX.X..XO..",
      ".O..X...O.OOO.XX.O.X",
      "..OXO.X.X.XO..XXOOXX",
      ".OO.....O...OXO..XX.",
      "OXX....OX.....X.X..O",
      ".X...X....X.........",
      "..............O..O.X",
      "...............O....",
      "..............O.....",
     }},
};

inline Board FixedBoard(const FixedPosition& position) {
  Board board;
  ClearBoard(board, DefaultBoardSize);
  for (int32_t y = 1; y <= DefaultBoardSize; ++y) {
    for (int32_t x = 1; x <= DefaultBoardSize; ++x) {
      const char c = position.rows[static_cast<std::size_t>(y - 1)][static_cast<std::size_t>(x - 1)];
      if (c == 'X') board.at(x, y) = CellOwn;
      if (c == 'O') board.at(x, y) = CellOpponent;
    }
  }
  return board;
}

}  // namespace quorvex::test

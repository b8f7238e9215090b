#pragma once
// The board as terminal text: columns lettered from "a" and rows numbered
// from 1 on all four edges (the notation a human types), "X" black, "O"
// white, "." empty, and the last stone played in brackets, like "[X]".
// When the last stone made five or more in a row, the other stones of that
// row are in parentheses, like "(X)", so the winning line stands out.

#include <string>

#include "tools/gomocup/referee/game_board.h"

namespace quorvex::match {

std::string RenderTextBoard(const GameBoard& board);

}  // namespace quorvex::match

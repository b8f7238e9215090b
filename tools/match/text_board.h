#pragma once
// The board as terminal text: columns lettered from "a" and rows numbered
// from 1 on all four edges (the notation a human types), "X" black, "O"
// white, "." empty, and the last stone played in brackets, like "[X]".

#include <string>

#include "tools/match/game_board.h"

namespace quorvex::match {

std::string RenderTextBoard(const GameBoard& board);

}  // namespace quorvex::match

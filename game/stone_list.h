#pragma once
// Positions written as text, for tests, benchmarks and tools.

#include <string_view>

#include "game/board.h"

namespace quorvex {

// Places stones listed as internal "x,y" points separated by blanks, the
// engine's and the opponent's alternately from the engine's, unless a point
// is prefixed "X:" (the engine's) or "O:" (the opponent's), which does not
// change whose turn the next unprefixed point is. Returns false, leaving
// the rest unplaced, at the first token that is no playable point.
bool PutStoneList(Board& board, std::string_view stones);

}  // namespace quorvex

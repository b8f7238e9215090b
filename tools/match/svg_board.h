#pragma once
// A picture of a position as a standalone SVG document that a browser
// opens: the grid with its letters and numbers, every stone numbered in the
// order played, the last one ringed in red, a red line through the row of
// five (or more) when the last stone made one, and a caption below.

#include <string>

#include "tools/gomocup/referee/game_board.h"

namespace quorvex::match {

// `caption` is shown below the board, one line per "\n"-separated part,
// made printable (printable_text.h) and escaped for XML here, so any text
// gives a well-formed document.
std::string RenderSvgBoard(const GameBoard& board, const std::string& caption);

}  // namespace quorvex::match

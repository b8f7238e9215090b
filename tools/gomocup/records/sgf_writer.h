#pragma once
// Game records in SGF (FF[4], GM[4] for Gomoku), which other boards and
// match runners open:
//   (;FF[4]GM[4]CA[UTF-8]AP[quorvex-match]SZ[15]PB[pbrain-a]PW[pbrain-b]
//   RE[B+]C[black (pbrain-a) wins with five in a row]
//   ;B[hh];W[ii]...)
// A point is two letters from "a" for 0, the column then the row: the
// protocol's x,y. RE is "B+" or "W+" for a five, with "R" after it for a
// resignation and "F" for a forfeit, "0" for a full board, and "Void" for
// a game that has no result (stopped, or still under way); C says how the
// game ended in words. A record that does not say (Ending::Unknown) has
// neither. Opening stones are ordinary moves. Names and the
// comment are made printable (printable_text.h), and "\" and "]" in them
// are escaped with "\", so no text can end a value early.

#include <string>

#include "tools/gomocup/referee/game_runner.h"

namespace quorvex::match {

std::string FormatSgf(const GameRecord& record);

}  // namespace quorvex::match

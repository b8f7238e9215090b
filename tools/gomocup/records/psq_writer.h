#pragma once
// Game records in Piskvork's PSQ text format, so other Gomocup tools can
// replay a game:
//   Piskvorky 20x20, 11:11, 0      (board size; the other fields fixed)
//   11,11,120                      one line per stone: x,y from 1, ms taken
//   ...
//   pbrain-a                       the player who had black
//   pbrain-b                       the player who had white
//   unfinished, not scored: ...    only for a game stopped from outside
// Opening stones are ordinary lines with 0 ms. Lines end in CR LF, as the
// Windows tools that read this format write it. Readers take the first two
// lines after the stones as the names, so the last line, which says that
// the game has no result, changes nothing for them. Names are written as
// printable_text.h makes them: no name can break a line of the record.

#include <string>

#include "tools/gomocup/referee/game_runner.h"

namespace quorvex::match {

std::string FormatPsq(const GameRecord& record);

// Writes FormatPsq to `path`; false when the file cannot be written.
bool WritePsq(const GameRecord& record, const std::string& path);

}  // namespace quorvex::match

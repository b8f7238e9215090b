#pragma once
// Openings file: one opening a line, its stones played alternately from
// black. Lines starting "#" and blank lines (separators alone included)
// are skipped. A file holds openings in one of two forms:
//
//   moves    points separated by blanks or ";", each "h8" or the
//            protocol's "7,7" (from 0): "h8 i9 g7", "7,7 8,8 6,6";
//   offsets  numbers joined by commas, blanks allowed after a comma, taken
//            in pairs dx,dy from the centre (size / 2: 10,10 on 20x20,
//            7,7 on 15x15), as other managers and Gomocup's referee keep
//            them: "0,0, 1,1, -1,1" (y grows downwards, as in the protocol).
//
// Which form a line is in shows in the line: blanks between points or a
// letter make moves; a comma between pairs or a signed number makes
// offsets. One unsigned pair alone ("7,7") could be either; it takes the
// form of the file's other lines, and a file that holds only such lines is
// refused rather than guessed. Lines of both forms in one file are refused.

#include <optional>
#include <string>
#include <vector>

#include "tools/gomocup/referee/game_board.h"

namespace quorvex::match {

using Opening = std::vector<Point>;

// Every opening must fit a board of `boardSize`, repeat no point and hold
// no five. On any fault the result is empty and `error` names the file and
// the line.
std::optional<std::vector<Opening>> LoadOpenings(const std::string& path, int32_t boardSize,
                                                 std::string& error);

// The same, from text already read (one opening a line); `error` names the
// line.
std::optional<std::vector<Opening>> ParseOpenings(const std::string& text, int32_t boardSize,
                                                  std::string& error);

}  // namespace quorvex::match

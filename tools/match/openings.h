#pragma once
// Openings file: one opening a line, its stones as points in either
// notation ("h8 i9 g7" or "7,7 8,8 6,6"), played alternately from black.
// Blank lines (separators alone included) and lines starting "#" are
// skipped.

#include <optional>
#include <string>
#include <vector>

#include "tools/match/game_board.h"

namespace quorvex::match {

using Opening = std::vector<Point>;

// Every opening must fit a board of `boardSize`, repeat no point and hold
// no five. On any fault the result is empty and `error` names the line.
std::optional<std::vector<Opening>> LoadOpenings(const std::string& path, int32_t boardSize,
                                                 std::string& error);

// The same, from text already read (one opening a line).
std::optional<std::vector<Opening>> ParseOpenings(const std::string& text, int32_t boardSize,
                                                  std::string& error);

}  // namespace quorvex::match

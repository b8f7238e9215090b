#pragma once
// The two ways a point is written: the protocol's "x,y" (0-based, what
// brains send and receive) and the board notation "h8" (a letter for the
// column from "a", a number for the row from 1, as drawn on the edges of the
// terminal board). Parsing checks only the form, never the board.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gomocup/referee/game_board.h"

namespace quorvex::match {

// A brain's move reply: two decimal numbers joined by ",", blanks allowed
// around either number. Nothing else on the line is accepted.
std::optional<Point> ParseProtocolPoint(std::string_view text);

// "h8" or "H8" (letter a..z, then 1 or more digits from 1).
std::optional<Point> ParseNotation(std::string_view text);

// What a human types: either form.
std::optional<Point> ParseAnyPoint(std::string_view text);

std::string FormatProtocolPoint(Point p);  // "7,7"
std::string FormatNotation(Point p);       // "h8"

// How messages and logs name a point: the board's notation with the
// protocol's x,y beside it, "h8 (7,7)"; a point off a board of `boardSize`
// (or of any board) as x,y alone, since no letter of the board names it.
std::string DescribePoint(Point p, int32_t boardSize = 26);

// One opening: points separated by blanks (or ";"), each in either form,
// played alternately from black. Empty when a token does not parse.
std::optional<std::vector<Point>> ParseOpeningLine(std::string_view line);

}  // namespace quorvex::match

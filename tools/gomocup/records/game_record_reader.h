#pragma once
// Reading finished games back: Piskvork's PSQ records (the tool's own, see
// psq_writer.h, and those of other managers) and SGF records of Gomoku
// (GM[4]) as other match runners write them.
//
// PSQ: a header "Piskvorky WxH, ..." with W = H the board size, one
// "x,y[,ms]" line per stone with coordinates from 1, then whatever the
// manager appends (player names, a result line): the first line that is
// not a stone ends the moves. SGF: the main line of the first game tree;
// SZ gives the size (15 when absent, as SGF's Gomoku default), B[..] and
// W[..] the moves with letters from "a" for 0, PB and PW the names.
// Setup stones (AB, AW) and side lines are not read.
//
// Parsing checks the form and the board: a record that does not parse is
// refused with the line (PSQ) or byte offset (SGF) of the fault, and a
// record whose moves leave the board, repeat a point, do not alternate
// colours or go on after a five is read but marked illegal, so a caller
// can skip that game alone.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gomocup/referee/game_board.h"

namespace quorvex::match {

struct RecordedGame {
  int32_t size = 20;
  // Every stone in order; black plays first, and colours alternate unless
  // `illegal` says otherwise. Times are those recorded (0 when absent).
  std::vector<PlayedMove> moves;
  std::string blackName;
  std::string whiteName;
  // Empty for a legal game; otherwise why it is not one ("move 7, 3,4 is
  // occupied"). The moves up to the fault are kept.
  std::string illegal;
  // The last move kept makes five in a row.
  bool endsInFive = false;
};

// Reads a record from its text, PSQ or SGF as its first characters say.
// On a fault the result is empty and `error` says what and where.
std::optional<RecordedGame> ParseGameRecord(std::string_view text, std::string& error);

// The same from a file; `error` then starts with the file's path.
std::optional<RecordedGame> LoadGameRecord(const std::string& path, std::string& error);

}  // namespace quorvex::match

#pragma once
// Judges one answer of a player. Freestyle rules: any empty point of the
// board may be played. The answer loses the game when it is:
//   - missing: the player timed out, crashed, was stopped, or (a human)
//     resigned;
//   - an "ERROR" line;
//   - late, for a timed player: more than turnMs + toleranceMs for this
//     move, or (with a match limit) more than matchMs + toleranceMs used in
//     the game with this move;
//   - not two numbers "x,y", off the board, or an occupied point.
// The checks run in that order, so a late illegal reply is recorded as late.
// A brain's own words in a reason are made printable (printable_text.h).

#include <cstdint>
#include <optional>
#include <string>

#include "tools/gomocup/referee/game_board.h"
#include "tools/gomocup/referee/player.h"

namespace quorvex::match {

struct Verdict {
  std::optional<Point> point;  // set when the move stands
  std::string forfeit;         // why the mover loses, when `point` is empty
};

struct Clock {
  bool timed = true;
  int32_t usedMs = 0;  // this player's time in this game before the move
};

Verdict Adjudicate(const GameBoard& board, const MoveAnswer& answer, const GameSettings& settings,
                   const Clock& clock);

// How long to wait for a timed player before giving up on it: the smaller
// of the turn limit and the match time left, plus the tolerance.
int32_t WaitLimitMs(const GameSettings& settings, int32_t usedMs);

// The "time_left" to announce: match time left, or the largest 32-bit
// number when the game has no match limit.
int32_t TimeLeftMs(const GameSettings& settings, int32_t usedMs);

}  // namespace quorvex::match

#pragma once
// The lines a manager sends a brain, built in one place so that every
// player speaking the protocol sends the very same bytes (without the
// CR LF that ends each line on the wire):
//   the start of a game: START size, then the INFO lines timeout_turn,
//   timeout_match, max_memory, game_type (1, a game between brains) and
//   rule (0, freestyle);
//   a move request: INFO time_left, then BEGIN on an empty board, TURN x,y
//   when the brain knows every stone but the opponent's last, which the
//   opponent played, and otherwise BOARD, one "x,y,owner" line per stone
//   (1 the brain's own, 2 the opponent's), DONE. So an opening, whatever
//   its length, reaches the side to move as a manager gives it: as a BOARD
//   listing, never as TURN, even when it holds a single stone.

#include <string>
#include <vector>

#include "tools/gomocup/referee/player.h"

namespace quorvex::match {

std::string StartLine(const GameSettings& settings);

std::vector<std::string> InfoLines(const GameSettings& settings);

std::vector<std::string> RequestLines(const MoveRequest& request);

}  // namespace quorvex::match

#pragma once
// Plays one game between two players and referees it.
//
// Order: the opening stones go on the board (alternately, black first);
// both players get StartGame; then the side to move is asked, judged
// (referee.h) and its stone placed, until five or more in a row, a full
// board, or a forfeit; both players then get EndGame. Every player keeps its
// own clock for the game. A player that answers Stopped (the game was
// stopped from outside) ends the game unfinished, with no winner.

#include <functional>
#include <string>
#include <vector>

#include "tools/match/game_board.h"
#include "tools/match/player.h"

namespace quorvex::match {

enum class Ending {
  Five,       // `winner` made five or more in a row
  FullBoard,  // a draw
  Forfeit,    // the loser's answer broke a rule; `reason` says which
  Aborted,    // a player could not start, or the opening is unplayable
  Stopped,    // stopped from outside before it was decided: no result;
              // `reason` says why
};

struct GameRecord {
  GameBoard board;
  Ending ending = Ending::Aborted;
  Stone winner = Stone::Empty;  // Empty for a draw or an aborted game
  std::string reason;           // the forfeit or the abort, in words
  std::string blackName;
  std::string whiteName;
};

// Called after each stone, opening stones included (their mover's name is
// "opening").
using MoveObserver =
    std::function<void(const GameBoard& board, const PlayedMove& move, const std::string& mover)>;

GameRecord PlayGame(Player& black, Player& white, const std::vector<Point>& opening,
                    const GameSettings& settings, const MoveObserver& observer);

// One line for the game's end: "black (name) wins with five", "draw: full
// board", "white (name) wins: black (name) played 3,4, which is occupied",
// "unfinished, not scored: Stop was pressed".
std::string DescribeEnding(const GameRecord& record);

}  // namespace quorvex::match

#pragma once
// Plays one game between two players and referees it.
//
// Order: the opening stones go on the board (alternately, black first);
// both players get StartGame; then the side to move is asked, judged
// (referee.h) and its stone placed, until five or more in a row, a full
// board, a forfeit or a resignation; both players then get EndGame. Every
// player keeps its own clock for the game. A player that answers Stopped
// (the game was stopped from outside) ends the game unfinished, with no
// winner, unless the other side had resigned meanwhile (a person may at
// any time): that is the resignation.
//
// Take-back: a player that answers TakeBack on its turn has its last stone
// and the reply to it removed (never an opening stone; otherwise it is
// asked again). The other side is rewound (Player::Rewind), both sides'
// clocks lose the time of the removed stones, and the same player is asked
// again on the earlier position.

#include <functional>
#include <string>
#include <vector>

#include "tools/gomocup/referee/game_board.h"
#include "tools/gomocup/referee/player.h"

namespace quorvex::match {

enum class Ending {
  Five,       // `winner` made five or more in a row
  FullBoard,  // a draw
  Forfeit,    // the loser's answer broke a rule; `reason` says which
  Resigned,   // the loser gave up; `reason` names it and its words
  Aborted,    // a player could not start, or the opening is unplayable
  Stopped,    // stopped from outside before it was decided: no result;
              // `reason` says why
  Unknown,    // a record read back that does not say how it ended (only
              // a reader makes it, never a game played)
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

// Called after a take-back, with the board as it is now and the stones
// removed, in the order they were played.
using TakeBackObserver =
    std::function<void(const GameBoard& board, const std::vector<PlayedMove>& removed)>;

GameRecord PlayGame(Player& black, Player& white, const std::vector<Point>& opening,
                    const GameSettings& settings, const MoveObserver& observer,
                    const TakeBackObserver& tookBack = {});

// One line for the game's end: "black (name) wins with five", "draw: full
// board", "white (name) wins: black (name) played d5 (3,4), which is
// occupied", "white (name) wins: black (human) resigned", "unfinished, not
// scored: Stop was pressed".
std::string DescribeEnding(const GameRecord& record);

}  // namespace quorvex::match

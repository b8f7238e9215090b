#pragma once
// One side of a game, as the referee sees it: asked for a move, it answers
// with a line of text or says why it cannot. Judging the answer (legal
// point, time) is the referee's job, not the player's.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/gomocup/referee/game_board.h"

namespace quorvex::match {

// The time control and rules every brain is told at the start of a game.
struct GameSettings {
  int32_t boardSize = 20;
  int32_t turnMs = 5000;      // "timeout_turn"
  int32_t matchMs = 0;        // "timeout_match", for one game; 0 = none
  int32_t toleranceMs = 200;  // lateness forgiven on both limits
  int64_t maxMemory = 0;      // "max_memory" in bytes; 0 = none
  int32_t startMs = 10000;    // to answer START
};

struct MoveRequest {
  const std::vector<PlayedMove>& moves;  // every stone on the board, in order
  Stone colour;                          // the side asked to move
  size_t seenMoves;                      // how many of `moves` this player already knows of
  int32_t timeLeftMs;                    // "time_left" to announce
  int32_t waitMs;                        // give up waiting after this long
  size_t openingStones = 0;              // how many of `moves` (the first) are the opening's
};

struct MoveAnswer {
  enum class Kind {
    Reply,     // `text` is the player's answer line
    TimedOut,  // nothing within waitMs
    Crashed,   // the process ended or stopped reading; `text` says how
    Resigned,  // a human gave up or has no input; `text` says why
    Stopped,   // the game was stopped from outside; `text` says why. No
               // fault of the player's: the game has no result
    TakeBack,  // a person takes back their last stone and the reply to it
  };
  Kind kind = Kind::Reply;
  std::string text;
  int32_t elapsedMs = 0;
};

class Player {
 public:
  virtual ~Player() = default;
  virtual const std::string& name() const = 0;
  // False for a human: nobody forfeits on time at the keyboard.
  virtual bool timed() const = 0;
  // Readies the player for a new game; returns an error text, empty on
  // success. A failure here means the player cannot play at all.
  virtual std::string StartGame(const GameSettings& settings) = 0;
  virtual MoveAnswer RequestMove(const MoveRequest& request) = 0;
  // Called once a game is over, with the final board.
  virtual void EndGame(const GameBoard& board) = 0;
  // The game has gone back to an earlier position (the other side took
  // back moves): whatever the player was told no longer holds, and its
  // next request must tell it the whole position.
  virtual void Rewind() {}
  // Non-empty (the words of it) when this player gave up while the other
  // side was to move, as a person may at any time: the game is then this
  // player's resignation, even when the mover was stopped meanwhile.
  virtual std::string ResignedOutOfTurn() const { return {}; }
  // Called once at the end of the match; no call follows.
  virtual void Finish() = 0;
};

// Lines a brain writes that are not answers (MESSAGE, DEBUG), passed on for
// showing: the player's name and the line.
using TextSink = std::function<void(const std::string&, const std::string&)>;

}  // namespace quorvex::match

#pragma once
// The person at the page, as a player of the tool's own games. Moves come
// from the server's request threads through Offer; the game thread waits
// for one in RequestMove, so a move is a message to the game, never a
// change made to it from outside.
//
// Offer checks a point against the position the game thread is waiting on,
// under one lock with the hand-over, so of two clicks racing for one turn
// exactly one is taken, and a taken, off-board or out-of-turn point is
// refused with the reason and changes nothing: the referee is only ever
// shown free points. A resignation is the person's answer when they are to
// move; otherwise ResignedOutOfTurn tells the game, which the caller stops
// so that the brain's think ends at once (activity.h). A take-back
// (OfferTakeBack) is taken only on the person's turn, when their last
// stone of this game and the reply to it are the last two on the board;
// the game then removes both (game_runner.h). Abandon is how a game is
// stopped from outside (Stop, a new game, the page closed): the person's
// turn, now or the next, answers Stopped with the reason given. Unlike a
// resignation it is no result. Humans play without a clock.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "tools/gomocup/referee/player.h"

namespace quorvex::match::serve {

class WebHuman : public Player {
 public:
  enum class Offer { Taken, NotYourTurn, OffBoard, Occupied, Over, NothingToTakeBack };

  // `awaiting` is called on the game thread with true when a move is asked
  // of the person and with false once one is given.
  explicit WebHuman(std::function<void(bool)> awaiting);

  Offer OfferMove(Point point);
  Offer OfferResign();
  Offer OfferTakeBack();
  void Abandon(const std::string& reason);

  const std::string& name() const override { return name_; }
  bool timed() const override { return false; }
  std::string StartGame(const GameSettings& settings) override;
  MoveAnswer RequestMove(const MoveRequest& request) override;
  void EndGame(const GameBoard&) override;
  void Finish() override {}
  std::string ResignedOutOfTurn() const override;

 private:
  const std::function<void(bool)> awaiting_;
  const std::string name_ = "human";
  mutable std::mutex mutex_;
  std::condition_variable offered_;
  std::optional<GameBoard> board_;  // the position while a move is awaited
  Stone colour_ = Stone::Empty;     // the person's, while a move is awaited
  int32_t size_ = 20;
  int32_t stonesPlayed_ = 0;  // the person's stones of this game still on the board
  std::optional<Point> move_;
  bool takeBack_ = false;
  std::string resign_;     // non-empty: resign with these words at the turn
  std::string abandoned_;  // non-empty: the game was stopped, for this reason
  bool over_ = false;
};

}  // namespace quorvex::match::serve

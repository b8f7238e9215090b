#pragma once
// A player that gives up its turn once the run is to stop, so that a game
// in play ends within one move of a Ctrl-C instead of running to its end.
//
// It passes every call on to `inner`; a move request that comes after
// `stop()` turned true is answered as a resignation ("the run was
// stopped"), without asking `inner`, and gaveUp() tells it afterwards. The
// caller keeps `inner` alive as long as this object.

#include <functional>
#include <string>
#include <utility>

#include "tools/match/player.h"

namespace quorvex::book {

class StoppablePlayer : public match::Player {
 public:
  StoppablePlayer(match::Player& inner, std::function<bool()> stop)
      : inner_(inner), stop_(std::move(stop)) {}

  const std::string& name() const override { return inner_.name(); }
  bool timed() const override { return inner_.timed(); }
  std::string StartGame(const match::GameSettings& settings) override {
    gaveUp_ = false;
    return inner_.StartGame(settings);
  }
  match::MoveAnswer RequestMove(const match::MoveRequest& request) override {
    if (!stop_()) return inner_.RequestMove(request);
    gaveUp_ = true;
    return {match::MoveAnswer::Kind::Resigned, "the run was stopped", 0};
  }
  void EndGame(const match::GameBoard& board) override { inner_.EndGame(board); }
  void Finish() override { inner_.Finish(); }

  // True when it gave up a turn of the last game started.
  bool gaveUp() const { return gaveUp_; }

 private:
  match::Player& inner_;
  std::function<bool()> stop_;
  bool gaveUp_ = false;
};

}  // namespace quorvex::book

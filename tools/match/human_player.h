#pragma once
// A person at the terminal. Reads moves from `in` (the tool's standard
// input: nothing else in the tool ever reads it) and prompts on `out`. A
// point that does not parse, is off the board or is taken is refused and
// asked again; a typo never loses the game. "resign" (or "quit") gives the
// game up, and so does the end of input, which is what a run without a
// terminal gets. Humans play without a clock.

#include <istream>
#include <ostream>
#include <string>

#include "tools/gomocup/referee/player.h"

namespace quorvex::match {

class HumanPlayer : public Player {
 public:
  HumanPlayer(std::istream& in, std::ostream& out, int32_t boardSize);

  const std::string& name() const override { return name_; }
  bool timed() const override { return false; }
  std::string StartGame(const GameSettings& settings) override;
  MoveAnswer RequestMove(const MoveRequest& request) override;
  void EndGame(const GameBoard&) override {}
  void Finish() override {}

 private:
  std::istream& in_;
  std::ostream& out_;
  int32_t boardSize_;
  std::string name_ = "human";
};

}  // namespace quorvex::match

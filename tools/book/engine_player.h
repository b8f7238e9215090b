#pragma once
// The engine as a player of the referee's games (player.h), in this process.
//
// It is handed the very lines a BrainPlayer sends a brain process
// (tools/gomocup/brain_process/protocol_lines.h), through the engine's own
// CommandLoop, so it decides exactly as pbrain-quorvex given the same
// lines; only the short pause after BEGIN is left out, which changes
// nothing but time. One Engine serves every game, as one brain process
// kept between games: START opens each game and the store carries over.
// The time a request takes is measured here and judged by the referee as
// a brain's would be.
//
// With a stop switch: once it is thrown, the engine is not asked again; a
// move request answers Stopped (and StartGame an error starting
// "stopped"), as a brain player's would, so the game ends unfinished.
//
// The caller keeps `engine` (and `stop`) alive as long as the player; the
// player is the engine's only user meanwhile.

#include <sstream>
#include <string>
#include <vector>

#include "brain/command_loop.h"
#include "brain/engine.h"
#include "tools/gomocup/brain_process/stop_signal.h"
#include "tools/gomocup/referee/player.h"

namespace quorvex::book {

class EnginePlayer : public match::Player {
 public:
  EnginePlayer(Engine& engine, std::string name, const match::StopSignal* stop = nullptr);

  const std::string& name() const override { return name_; }
  bool timed() const override { return true; }
  std::string StartGame(const match::GameSettings& settings) override;
  match::MoveAnswer RequestMove(const match::MoveRequest& request) override;
  void EndGame(const match::GameBoard& board) override;
  // Sends END, as a manager ends a brain it kept.
  void Finish() override;

  // Every line the engine was given so far, in order, without line ends.
  const std::vector<std::string>& LinesGiven() const { return lines_; }

 private:
  // Hands the engine one line; its reply without the line end, or empty.
  std::string Send(const std::string& line);

  std::string name_;
  const match::StopSignal* const stop_;
  std::istringstream noInput_;
  std::ostringstream replies_;
  CommandLoop loop_;
  bool ended_ = false;
  std::vector<std::string> lines_;
};

}  // namespace quorvex::book

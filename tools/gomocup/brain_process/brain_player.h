#pragma once
// A Gomocup brain driven over its pipes, the way managers drive it:
//   START size, answered "OK" within the start time; then the INFO lines
//   timeout_turn, timeout_match, max_memory, game_type, rule;
//   before every move INFO time_left, then BEGIN (empty board), TURN x,y
//   (the brain knows all but the opponent's last stone) or BOARD ... DONE
//   (anything else, such as the stones of an opening, even a single one);
//   END when it is no longer needed, then a grace period, then SIGKILL.
// A process kept between games that has died meanwhile is started afresh.
// Every line sent ends in CR LF. Lines starting "MESSAGE" or "DEBUG" go to
// the text sink and are never taken as answers. A brain that misses its
// wait time is killed at once: a hung process must not outlive its game.
//
// Only a line written after a request (START or a move) answers it. Lines
// the brain wrote when no reply was due (a second answer to one move, say)
// are shown to the sink as dropped and never taken as a later reply.
//
// Everything of the brain's that is shown or put in words (its name, its
// lines, a refusal) is made printable first (printable_text.h); the move
// reply itself reaches the referee as it was written.
//
// Rewind (a take-back): the process is ended, and at the next move request
// a fresh one is started and sent START and the INFO lines before the
// position, so any brain, with no take-back command of its own, answers on
// the earlier position.
//
// With a stop signal: once it is set, a wait for the brain ends at once,
// the brain is sent END, given ChildProcess::StopGraceMs, then killed, and
// the move answers Stopped (StartGame: an error starting "stopped").

#include <string>

#include "tools/gomocup/brain_process/brain_command.h"
#include "tools/gomocup/brain_process/child_process.h"
#include "tools/gomocup/brain_process/stop_signal.h"
#include "tools/gomocup/referee/player.h"

namespace quorvex::match {

class BrainPlayer : public Player {
 public:
  // With `freshPerGame` the process is started for each game and ended
  // after it; otherwise one process plays every game, START opening each.
  // `stop`, when not null, must outlive this player.
  BrainPlayer(BrainCommand command, bool freshPerGame, TextSink sink,
              const StopSignal* stop = nullptr);
  ~BrainPlayer() override;

  const std::string& name() const override { return command_.name; }
  bool timed() const override { return true; }
  std::string StartGame(const GameSettings& settings) override;
  MoveAnswer RequestMove(const MoveRequest& request) override;
  void EndGame(const GameBoard& board) override;
  void Finish() override;
  void Rewind() override;

  static constexpr int32_t EndGraceMs = 1000;

 private:
  bool Stopping() const { return stop_ != nullptr && stop_->IsSet(); }
  // START, its "OK", and the INFO lines; an error text, empty on success.
  // `ended` tells that the process had ended by itself.
  std::string Handshake(const GameSettings& settings, bool& ended);
  // Drops what the brain wrote when nothing was asked (shown to the sink).
  void DropUnasked();
  // Sends the lines that tell the brain of the board and ask for its move.
  bool SendRequest(const MoveRequest& request);
  // The next line that is not MESSAGE or DEBUG, within `timeoutMs`.
  ChildProcess::ReadStatus ReadAnswer(std::string& line, int32_t timeoutMs);
  void Show(const std::string& line);
  void Shutdown();

  BrainCommand command_;
  bool freshPerGame_;
  TextSink sink_;
  const StopSignal* const stop_;
  ChildProcess process_;
  GameSettings settings_;  // of the game under way, for a start after Rewind
  bool rewound_ = false;
};

}  // namespace quorvex::match

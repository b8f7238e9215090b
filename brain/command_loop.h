#pragma once
// The protocol driver: one command per line in, one reply per line out.
//
// The command word is a line's first four characters, compared byte for
// byte with the table in command_loop.cpp, first match wins. Each command
// becomes one verb of the engine; the loop itself keeps only whether a
// BOARD listing is being read. Every reply is one line ending in CR LF,
// flushed at once; nothing else is ever written to `out`.

#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string_view>
#include <utility>

#include "brain/engine.h"

namespace quorvex {

class CommandLoop {
 public:
  // `pause` serves the short wait after BEGIN; tests may pass a no-op.
  CommandLoop(Engine& engine, std::istream& in, std::ostream& out,
              std::function<void(int32_t)> pause = {});

  // Reads and answers lines until END, the end of input, or a reply that
  // cannot be written (the manager has gone); returns the process's exit
  // code.
  int Run();

  // Handles one line (without its terminator). False when the engine is to
  // end.
  bool HandleLine(std::string_view line);

  // Called at every START line before it is handled, so it sees the store
  // as the previous game left it. It must not write to `out`.
  void SetBeforeStart(std::function<void()> hook) { beforeStart_ = std::move(hook); }

  // 1 from a BOARD line to the following DONE: a line that is no command
  // is then a stone of the listing, not UNKNOWN.
  int32_t BoardInputMode() const { return boardInputMode_; }

 private:
  void Reply(std::string_view text);

  void OnStart(std::string_view line);
  void OnBegin(std::string_view line);
  void OnTurn(std::string_view line);
  void OnInfo(std::string_view line);
  void OnBoard(std::string_view line);
  void OnDone(std::string_view line);
  void OnAbout(std::string_view line);
  void OnStoneLine(std::string_view line);

  // Why (x, y) cannot take a stone, or empty when it can.
  std::string_view RefusePoint(int32_t x, int32_t y) const;

  Engine& engine_;
  std::istream& in_;
  std::ostream& out_;
  std::function<void(int32_t)> pause_;
  std::function<void()> beforeStart_;
  int32_t boardInputMode_ = 0;
};

}  // namespace quorvex

#pragma once
// Shared helpers for the tests: fresh engines, boards drawn as text, and the
// real brain run through pipes.

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "brain/command_loop.h"
#include "brain/engine.h"
#include "game/board.h"

namespace quorvex::test {

// A directory of its own under the system's temporary directory, removed
// with its contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

// An engine with its experience file in a directory of its own, a fixed
// seed and, unless one is given, a clock that stays at 0.
struct TestEngine {
  explicit TestEngine(uint32_t seed = 1, std::function<int32_t()> clock = {});
  TempDir dir;
  std::unique_ptr<Engine> engine;
  Engine& operator*() { return *engine; }
  Engine* operator->() { return engine.get(); }
};

// A brain in the test process: an engine behind its own command loop,
// spoken to one line at a time.
class Conversation {
 public:
  explicit Conversation(uint32_t seed = 1, std::function<int32_t()> clock = {});
  // Handles `line` and returns what the loop wrote for it, CR LF included.
  std::string Say(std::string_view line);
  // The reply to `line` without its line end.
  std::string Ask(std::string_view line);
  Engine& engine() { return *engine_; }

 private:
  TestEngine engine_;
  std::istringstream in_;
  std::ostringstream out_;
  std::unique_ptr<CommandLoop> loop_;
};

// A board of `size` laid out as after START, with stones from a diagram:
// one text row per y (top row y = 1), one character per x from x = 1;
// 'X' the engine's stone, 'O' the opponent's, anything else empty.
Board BoardFromRows(const std::vector<std::string>& rows, int32_t size = DefaultBoardSize);

// Places stones given as "x,y" internal coordinates separated by blanks,
// alternating X (engine) and O (opponent) unless prefixed with X: or O:.
void PutStones(Board& board, std::string_view stones);

// Runs the brain with `input` on its standard input and returns what it
// wrote to standard output; `exitCode` gets its exit status.
std::string RunBrain(const std::string& brainPath, const std::string& input, int& exitCode);

#ifndef _WIN32
// A brain spoken to as a manager speaks to it: lines sent and replies read
// one at a time, every wait bounded. The child starts with SIGPIPE at its
// default, as a manager that does not ignore it leaves it, and, when
// `asNobody` and this process is root, as the user 'nobody'. A child still
// running when the object goes is killed.
class BrainProcess {
 public:
  explicit BrainProcess(const std::string& brainPath, bool asNobody = false);
  ~BrainProcess();
  BrainProcess(const BrainProcess&) = delete;
  BrainProcess& operator=(const BrainProcess&) = delete;

  int pid() const { return pid_; }
  // False when the brain no longer reads.
  bool Send(std::string_view text);
  // The next reply line without its CR LF (a missing CR is kept visible as
  // "<no CR>"), or "<none>" when nothing came within `timeoutMs` or the
  // brain closed its output.
  std::string ReadLine(int timeoutMs = 60000);
  void CloseInput();
  void CloseOutput();
  // The exit code, 128 + the signal that ended it, or -1 if it was still
  // running after `timeoutMs` (it is then killed).
  int Wait(int timeoutMs = 60000);

 private:
  int pid_ = -1;
  int toChild_ = -1;
  int fromChild_ = -1;
  std::string pending_;
};

// Plays a game of `turns` moves against `brain` as a manager would: START
// 20, a turn time of `turnMs`, BEGIN, then TURN on empty points. Returns
// what went wrong (a reply that is not "OK", not a point, off the board or
// on a stone), or empty when every reply was right. Does not send END.
std::string PlayShortGame(BrainProcess& brain, int turns, int turnMs = 100);

// A move reply "x,y" with both in 0..19 as x * 20 + y, or -1 for anything else.
int ReplyPointIndex(const std::string& reply);
#endif

}  // namespace quorvex::test

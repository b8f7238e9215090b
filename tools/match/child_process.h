#pragma once
// A brain as a child process on two pipes. Every wait is bounded: reads and
// writes poll() with a deadline, and a child that must go is sent END's
// grace period, then SIGKILL, then reaped, so no call here can block without
// end and no zombie is left behind.
//
// The child gets our pipes as its standard input and output, inherits
// standard error, and runs in the directory it is given; no other
// descriptor of this process reaches it, not even one a library opened
// without close-on-exec. Creating the
// first child makes this process ignore SIGPIPE, so writing to a brain that
// died is an error to report, not the manager's death, and opens /dev/null
// on any closed standard descriptor of this process.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/match/line_assembler.h"
#include "tools/match/monotonic_clock.h"

namespace quorvex::match {

class ChildProcess {
 public:
  enum class ReadStatus { Line, Timeout, Closed };

  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `argv` (argv[0] a path) in `directory`. False, with `error`
  // saying why (the exec's own errno included), when it cannot start.
  // The caller must ensure no child is running in this object.
  bool Spawn(const std::vector<std::string>& argv, const std::string& directory,
             std::string& error);

  // True while a child was started and not yet reaped (it may have ended
  // unnoticed).
  bool Running() const { return pid_ > 0; }

  // Writes `line` and CR LF. False when the child no longer reads (it died
  // or left its pipe full past `timeoutMs`).
  bool WriteLine(std::string_view line, int32_t timeoutMs = 2000);

  // Waits at most `timeoutMs` for one line. On Closed the child has shut its
  // output (usually it ended); an unfinished last line is returned first as
  // a Line.
  ReadStatus ReadLine(std::string& line, int32_t timeoutMs);

  // Waits at most `graceMs` for the child to end by itself, then kills it;
  // always reaps it. Safe to call when nothing runs.
  void Stop(int32_t graceMs);

  // How the child ended ("exited with code 1", "killed by signal 11"), or
  // empty while it runs or before it was reaped.
  const std::string& exitDescription() const { return exitDescription_; }

 private:
  bool TryReap();  // true once the child is gone and reaped
  void CloseFds();

  pid_t pid_ = -1;
  int toChild_ = -1;
  int fromChild_ = -1;
  bool outputClosed_ = false;
  LineAssembler assembler_;
  std::string exitDescription_;
};

}  // namespace quorvex::match

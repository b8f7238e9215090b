#pragma once
// A brain as a child process on two pipes. Every wait is bounded: reads and
// writes poll() with a deadline, and a child that must go is sent END's
// grace period, then SIGKILL, then reaped, so no call here can block without
// end and no zombie is left behind. A wait also ends at once when the stop
// signal given at construction is set (another thread stopping the game),
// and the grace period then lasts StopGraceMs at most.
//
// The child leads a process group of its own, and when it ends the whole
// group ends with it: a helper it started (a shell brain's background job)
// is killed, not left running. The group is killed before the leader is
// reaped, while its pid, which names the group, cannot yet be given to an
// unrelated process.
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

#include "tools/gomocup/brain_process/line_assembler.h"
#include "tools/gomocup/brain_process/monotonic_clock.h"
#include "tools/gomocup/brain_process/stop_signal.h"

namespace quorvex::match {

class ChildProcess {
 public:
  enum class ReadStatus { Line, Timeout, Closed, Stopped };

  // Short: a person waits for it, and a brain that thinks may not read END
  // before its move is done.
  static constexpr int32_t StopGraceMs = 200;

  // `stop`, when not null, must outlive this object.
  explicit ChildProcess(const StopSignal* stop = nullptr) : stop_(stop) {}
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
  // or left its pipe full past `timeoutMs`, or the stop signal came while
  // the pipe was full).
  bool WriteLine(std::string_view line, int32_t timeoutMs = 2000);

  // Waits at most `timeoutMs` for one line. Closed: the child has shut its
  // output, or it has ended even though a process it started still holds
  // the pipe; what it wrote before, an unfinished last line included, is
  // returned first as lines. Stopped: the stop signal is set (the child is
  // left as it is).
  ReadStatus ReadLine(std::string& line, int32_t timeoutMs);

  // Every line the child wrote that was not read yet, and the start of one
  // it is still writing (the rest of that one will be dropped), taken out
  // without waiting: nothing asked of it after this call answers them.
  std::vector<std::string> TakeUnread();

  // Waits at most `graceMs` (StopGraceMs once the stop signal is set) for
  // the child to end by itself, then kills it; kills its process group;
  // always reaps it. Safe to call when nothing runs.
  void Stop(int32_t graceMs);

  // How the child ended ("exited with code 1", "killed by signal 11"), or
  // empty while it runs or before it was reaped.
  const std::string& exitDescription() const { return exitDescription_; }

 private:
  bool Stopping() const { return stop_ != nullptr && stop_->IsSet(); }
  int StopFd() const { return stop_ != nullptr ? stop_->fd() : -1; }
  // One read from the child's output, which poll() found ready.
  void ReadOnce();
  // Reads what the child has written by now, without waiting.
  void ReadAvailable();
  // Waits at most `ms` for the child to end, without reaping it. Gone: it
  // was reaped by someone else (it is no child of ours any more).
  enum class Leader { Running, Ended, Gone };
  Leader WaitForEnd(int32_t ms);
  void CloseFds();

  const StopSignal* const stop_;
  pid_t pid_ = -1;
  int toChild_ = -1;
  int fromChild_ = -1;
  int exitFd_ = -1;  // a pidfd of the child, readable once it has ended
  bool outputClosed_ = false;
  LineAssembler assembler_;
  std::string exitDescription_;
};

}  // namespace quorvex::match

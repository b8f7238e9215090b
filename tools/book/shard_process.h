#pragma once
// A shard of train --jobs: this very program started again with the
// shard's arguments, its standard output and error on pipes to us, its
// standard input /dev/null.
//
// The child stays in our process group, so a Ctrl-C at the terminal
// reaches it as it reaches us, and it is sent SIGTERM should we die
// before it (PR_SET_PDEATHSIG), so no shard outlives the run. It starts
// with the default action for SIGINT and SIGTERM, or ignoring SIGINT when
// we were started ignoring it.

#include <sys/types.h>

#include <string>
#include <vector>

#include "tools/gomocup/brain_process/line_assembler.h"

namespace quorvex::book {

class ShardProcess {
 public:
  ShardProcess() = default;
  // A child still running is sent SIGTERM and reaped.
  ~ShardProcess();
  ShardProcess(const ShardProcess&) = delete;
  ShardProcess& operator=(const ShardProcess&) = delete;

  // Starts `program` with `args` (args[0] included). False, with `error`
  // set, when it cannot be started.
  bool Start(const std::string& program, const std::vector<std::string>& args, std::string& error);

  // The pipes to poll: output, then errors; -1 once closed.
  int Fd(int stream) const { return fds_[stream]; }

  // Reads once from the stream poll() found ready, and appends its
  // complete lines to `lines`; the stream is closed at its end, its last
  // unfinished line then being a line too.
  void Read(int stream, std::vector<std::string>& lines);

  bool Running() const { return pid_ > 0; }
  void Signal(int signal) const;

  // Once both streams are closed: waits for the child and reaps it.
  // Its exit status, or 128 + the signal that ended it.
  int Wait();

 private:
  pid_t pid_ = -1;
  int fds_[2] = {-1, -1};
  match::LineAssembler lines_[2];
};

}  // namespace quorvex::book

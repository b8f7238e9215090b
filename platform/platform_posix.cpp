#include "platform/platform.h"

#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <system_error>

namespace quorvex {

std::string ExecutableDirectory() {
  std::error_code error;
  // Managers start brains from any working directory; only the executable's
  // own path tells where its files are.
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !exe.has_parent_path()) return {};
  std::string dir = exe.parent_path().string();
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

// POSIX streams never translate bytes. A manager that has gone away (its
// end of our output closed) must make the next reply fail, which ends the
// command loop, rather than kill the brain with SIGPIPE.
void PrepareConsole() { std::signal(SIGPIPE, SIG_IGN); }

int64_t ProcessId() { return static_cast<int64_t>(getpid()); }

}  // namespace quorvex

#include "tools/gomocup/brain_process/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quorvex::match {

namespace {

// Once per process: ignore SIGPIPE, and open /dev/null on any of the
// standard descriptors 0, 1, 2 that is closed (a manager run with its input
// shut), so that no pipe made later lands on them and is lost in the child's
// dup2 or in its close-on-exec.
void PrepareProcessOnce() {
  static const bool done = [] {
    signal(SIGPIPE, SIG_IGN);
    for (int fd = 0; fd <= 2; ++fd) {
      if (fcntl(fd, F_GETFD) < 0) open("/dev/null", O_RDWR);  // takes the lowest free slot
    }
    return true;
  }();
  (void)done;
}

// In a forked child: closes every descriptor above 2 but `keep`. Ours are
// close-on-exec already, but a library may open its own without the flag
// (the web server's sockets are), and a brain that inherited a connection
// or the listening socket would hold it open after the manager closed it.
bool CloseInheritedFds(int keep) {
  const unsigned k = static_cast<unsigned>(keep);
  if (k > 3 && close_range(3, k - 1, 0) != 0) return false;
  return close_range(k + 1, ~0U, 0) == 0;
}

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

std::string DescribeStatus(int status) {
  if (WIFEXITED(status)) return "exited with code " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) {
    const int sig = WTERMSIG(status);
    return "killed by signal " + std::to_string(sig) + " (" + strsignal(sig) + ")";
  }
  return "ended";
}

int RemainingMs(int64_t deadline) {
  const int64_t left = deadline - NowMs();
  return left <= 0 ? 0 : static_cast<int>(left);
}

// What TakeUnread and a brain's end read at most without waiting, so that
// a helper flooding the pipe cannot keep us reading: a pipe's capacity.
constexpr size_t kReadAvailableLimit = 65536;

}  // namespace

ChildProcess::~ChildProcess() { Stop(0); }

bool ChildProcess::Spawn(const std::vector<std::string>& argv, const std::string& directory,
                         std::string& error) {
  PrepareProcessOnce();
  int in[2] = {-1, -1};
  int out[2] = {-1, -1};
  int status[2] = {-1, -1};  // carries the child's errno if exec fails
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(status, O_CLOEXEC) != 0) {
    error = std::string("cannot create pipes: ") + std::strerror(errno);
    for (int* fd : {&in[0], &in[1], &out[0], &out[1], &status[0], &status[1]}) CloseFd(*fd);
    return false;
  }
  std::vector<char*> args;
  for (const std::string& word : argv) args.push_back(const_cast<char*>(word.c_str()));
  args.push_back(nullptr);

  const pid_t pid = fork();
  if (pid == 0) {
    // In the child only async-signal-safe calls until exec.
    int failure = 0;
    setpgid(0, 0);  // its own group, so a kill reaches whatever it started
    if (dup2(in[0], STDIN_FILENO) < 0 || dup2(out[1], STDOUT_FILENO) < 0) {
      failure = errno;
    } else if (!CloseInheritedFds(status[1])) {
      failure = errno;
    } else if (!directory.empty() && chdir(directory.c_str()) != 0) {
      failure = errno;
    } else {
      signal(SIGPIPE, SIG_DFL);
      execv(args[0], args.data());
      failure = errno;
    }
    const ssize_t ignored = write(status[1], &failure, sizeof failure);
    (void)ignored;
    _exit(127);
  }
  if (pid > 0) setpgid(pid, pid);  // also here, so a kill right away finds the group
  CloseFd(in[0]);
  CloseFd(out[1]);
  CloseFd(status[1]);
  if (pid < 0) {
    error = std::string("cannot fork: ") + std::strerror(errno);
    for (int* fd : {&in[1], &out[0], &status[0]}) CloseFd(*fd);
    return false;
  }
  int childErrno = 0;
  ssize_t got;
  do {
    got = read(status[0], &childErrno, sizeof childErrno);
  } while (got < 0 && errno == EINTR);
  CloseFd(status[0]);
  if (got == static_cast<ssize_t>(sizeof childErrno)) {
    int ignored = 0;
    waitpid(pid, &ignored, 0);
    CloseFd(in[1]);
    CloseFd(out[0]);
    error = "cannot start " + argv[0] + " in " + directory + ": " + std::strerror(childErrno);
    return false;
  }
  pid_ = pid;
  toChild_ = in[1];
  fromChild_ = out[0];
  // Without a pidfd (a kernel before 5.3) the child's end is noticed only
  // when the pipe closes. The system call itself, as glibc 2.36 declares
  // pidfd_open without C linkage for C++.
  exitFd_ = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  fcntl(toChild_, F_SETFL, fcntl(toChild_, F_GETFL) | O_NONBLOCK);
  outputClosed_ = false;
  assembler_ = LineAssembler{};
  exitDescription_.clear();
  return true;
}

bool ChildProcess::WriteLine(std::string_view line, int32_t timeoutMs) {
  if (toChild_ < 0) return false;
  std::string bytes(line);
  bytes += "\r\n";
  const int64_t deadline = NowMs() + timeoutMs;
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = write(toChild_, bytes.data() + sent, bytes.size() - sent);
    if (n > 0) {
      sent += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    if (Stopping()) return false;
    pollfd fds[2] = {{toChild_, POLLOUT, 0}, {StopFd(), POLLIN, 0}};
    const int ready = poll(fds, 2, RemainingMs(deadline));
    if (ready == 0) return false;
    if (ready < 0 && errno != EINTR) return false;
  }
  return true;
}

ChildProcess::ReadStatus ChildProcess::ReadLine(std::string& line, int32_t timeoutMs) {
  const int64_t deadline = NowMs() + timeoutMs;
  for (;;) {
    if (assembler_.Next(line)) return ReadStatus::Line;
    if (outputClosed_ || fromChild_ < 0) {
      line = assembler_.TakePartial();
      if (!line.empty()) return ReadStatus::Line;
      return ReadStatus::Closed;
    }
    if (Stopping()) return ReadStatus::Stopped;
    pollfd fds[3] = {{fromChild_, POLLIN, 0}, {exitFd_, POLLIN, 0}, {StopFd(), POLLIN, 0}};
    const int ready = poll(fds, 3, RemainingMs(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) return ReadStatus::Timeout;
    if (ready < 0) {
      outputClosed_ = true;
    } else if (fds[1].revents != 0) {
      // The brain ended; a process it started may still hold the pipe, so
      // its end will not come. What it wrote before ending is there now.
      ReadAvailable();
      outputClosed_ = true;
    } else if (fds[0].revents != 0) {
      ReadOnce();
    }
  }
}

void ChildProcess::ReadOnce() {
  char buffer[4096];
  const ssize_t n = read(fromChild_, buffer, sizeof buffer);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (n <= 0) {
    outputClosed_ = true;
    return;
  }
  assembler_.Feed(std::string_view(buffer, static_cast<size_t>(n)));
}

void ChildProcess::ReadAvailable() {
  for (size_t rounds = 0; rounds < kReadAvailableLimit / 4096; ++rounds) {
    if (outputClosed_ || fromChild_ < 0) return;
    pollfd fd{fromChild_, POLLIN, 0};
    if (poll(&fd, 1, 0) <= 0) return;
    ReadOnce();
  }
}

std::vector<std::string> ChildProcess::TakeUnread() {
  ReadAvailable();
  std::vector<std::string> lines;
  std::string line;
  while (assembler_.Next(line)) lines.push_back(std::move(line));
  line = assembler_.AbandonPartial();
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

ChildProcess::Leader ChildProcess::WaitForEnd(int32_t ms) {
  int64_t deadline = NowMs() + ms;
  bool cut = false;  // the grace was cut short by the stop signal
  for (;;) {
    siginfo_t info{};
    const int got = waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT);
    if (got < 0 && errno != EINTR) return Leader::Gone;
    if (got == 0 && info.si_pid == pid_) return Leader::Ended;
    if (!cut && Stopping()) {
      deadline = std::min(deadline, NowMs() + StopGraceMs);
      cut = true;
    }
    const int left = RemainingMs(deadline);
    if (left == 0) return Leader::Running;
    // Without a pidfd, poll() only sleeps: look again every 5 ms. The stop
    // signal stays readable once set, so it is watched only until it cuts.
    pollfd fds[2] = {{exitFd_, POLLIN, 0}, {cut ? -1 : StopFd(), POLLIN, 0}};
    poll(fds, 2, exitFd_ >= 0 ? left : std::min(left, 5));
  }
}

void ChildProcess::Stop(int32_t graceMs) {
  CloseFd(toChild_);  // a brain that waits for input sees end of file
  if (pid_ > 0) {
    const Leader leader = WaitForEnd(graceMs);
    // Unreaped, running or not, the child still owns its pid, so -pid_
    // names its group and no other. Reaped elsewhere (Gone), it owns
    // nothing any more and no signal may be sent.
    if (leader == Leader::Running) kill(pid_, SIGKILL);
    if (leader != Leader::Gone) kill(-pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    exitDescription_ = leader == Leader::Gone ? "ended" : DescribeStatus(status);
    pid_ = -1;
  }
  CloseFds();
}

void ChildProcess::CloseFds() {
  CloseFd(toChild_);
  CloseFd(fromChild_);
  CloseFd(exitFd_);
}

}  // namespace quorvex::match

#include "tools/gomocup/brain_process/stop_signal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "tools/gomocup/brain_process/monotonic_clock.h"

namespace quorvex::match {

namespace {

int MakeEventFd() {
  const int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (fd < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
  return fd;
}

}  // namespace

StopSignal::StopSignal() : fd_(MakeEventFd()) {}

StopSignal::~StopSignal() { close(fd_); }

void StopSignal::Set(const std::string& reason) {
  {
    std::lock_guard lock(mutex_);
    if (set_.load()) return;
    reason_ = reason;
    set_.store(true);
  }
  // Never read back: the counter stays above zero, so the descriptor stays
  // readable for every poll that comes after.
  const uint64_t one = 1;
  const ssize_t ignored = write(fd_, &one, sizeof one);
  (void)ignored;
}

std::string StopSignal::reason() const {
  std::lock_guard lock(mutex_);
  return reason_;
}

bool StopSignal::WaitFor(int32_t ms) const {
  const int64_t deadline = NowMs() + ms;
  while (!IsSet()) {
    const int64_t left = deadline - NowMs();
    if (left <= 0) return false;
    pollfd fd{fd_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left)) < 0 && errno != EINTR) return IsSet();
  }
  return true;
}

}  // namespace quorvex::match

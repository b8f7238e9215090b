#include "tools/book/signal_stop.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace quorvex::book {

namespace {

volatile sig_atomic_t noted = 0;
// The handler's wake-up line to the watching thread: open for the life of
// the process, so a late signal never writes to a reused descriptor.
int wakeRead = -1;
int wakeWrite = -1;
constexpr char kQuit = 'q';
constexpr char kSignal = 's';

extern "C" void NoteStopSignal(int signal) {
  if (noted != 0) return;
  noted = signal;
  const int saved = errno;
  const ssize_t ignored = write(wakeWrite, &kSignal, 1);
  (void)ignored;
  errno = saved;
}

}  // namespace

SignalStop::SignalStop(std::string notice, std::string reason)
    : notice_(std::move(notice)), reason_(std::move(reason)) {
  if (wakeRead < 0) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    wakeRead = fds[0];
    wakeWrite = fds[1];
  }
  struct sigaction action {};
  action.sa_handler = NoteStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  struct sigaction before {};
  if (sigaction(SIGINT, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) {
    sigaction(SIGINT, &action, nullptr);
  }
  sigaction(SIGTERM, &action, nullptr);
  watcher_ = std::thread([this] { Watch(); });
  // A signal that came before the thread: it finds the byte in the pipe.
}

SignalStop::~SignalStop() {
  const ssize_t ignored = write(wakeWrite, &kQuit, 1);
  (void)ignored;
  watcher_.join();
}

void SignalStop::Watch() {
  for (;;) {
    char byte = 0;
    const ssize_t got = read(wakeRead, &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got != 1 || byte == kQuit) return;
    const ssize_t ignored = write(STDERR_FILENO, notice_.data(), notice_.size());
    (void)ignored;
    switch_.Set(reason_ + (noted == SIGINT ? " (Ctrl-C)" : " (SIGTERM)"));
  }
}

int NotedStopSignal() { return noted; }

void DieOfStopSignal() {
  const int signal = noted;
  ::signal(signal, SIG_DFL);
  raise(signal);
  std::_Exit(128 + signal);
}

}  // namespace quorvex::book

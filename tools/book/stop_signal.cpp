#include "tools/book/stop_signal.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace quorvex::book {

namespace {

volatile sig_atomic_t noted = 0;
const char* noticeText = "";
std::size_t noticeLength = 0;

extern "C" void NoteStopSignal(int signal) {
  if (noted != 0) return;
  noted = signal;
  const ssize_t ignored = write(STDERR_FILENO, noticeText, noticeLength);
  (void)ignored;
}

}  // namespace

void WatchStopSignals(const char* notice) {
  noticeText = notice;
  noticeLength = std::strlen(notice);
  struct sigaction action {};
  action.sa_handler = NoteStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  struct sigaction before {};
  if (sigaction(SIGINT, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) {
    sigaction(SIGINT, &action, nullptr);
  }
  sigaction(SIGTERM, &action, nullptr);
}

int StopSignal() { return noted; }

void DieOfStopSignal() {
  const int signal = noted;
  ::signal(signal, SIG_DFL);
  raise(signal);
  std::_Exit(128 + signal);
}

}  // namespace quorvex::book

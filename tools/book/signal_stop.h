#pragma once
// Ctrl-C (SIGINT) and SIGTERM as the stop switch a brain's waits watch
// (tools/gomocup/brain_process/stop_signal.h), for a command that must
// write what it holds before it goes.
//
// The switch is what a brain's waits already watch: thrown, it ends at
// once a wait for an opponent that is thinking, and the game answers
// Stopped. A signal handler may not take the switch's lock, so the handler
// only notes the first signal and wakes a thread of this object, which
// writes `notice` once on standard error and throws the switch. Later
// signals change nothing, so a write in progress is never cut short.
// SIGINT stays ignored when it was ignored at start, as a shell leaves it
// for a job run in the background.
//
// One object at a time in a process. Its handlers stay after it goes
// (a signal then is only noted), so a late signal never ends the program
// while it writes.

#include <string>
#include <thread>

#include "tools/gomocup/brain_process/stop_signal.h"

namespace quorvex::book {

class SignalStop {
 public:
  // Installs the handlers and starts the thread. `reason` becomes the
  // switch's reason, with the signal's name after it. Throws
  // std::system_error when no descriptor is left for the wake-up line.
  SignalStop(std::string notice, std::string reason);
  ~SignalStop();
  SignalStop(const SignalStop&) = delete;
  SignalStop& operator=(const SignalStop&) = delete;

  const match::StopSignal& Switch() const { return switch_; }

 private:
  void Watch();

  std::string notice_;
  std::string reason_;
  match::StopSignal switch_;
  std::thread watcher_;
};

// The signal noted (SIGINT or SIGTERM), or 0; it stays noted.
int NotedStopSignal();

// Restores the signal's default action and raises it, so that the process
// ends as a shell expects of a program it interrupted. Requires a signal
// noted.
[[noreturn]] void DieOfStopSignal();

}  // namespace quorvex::book

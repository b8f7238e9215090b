#pragma once
// Ctrl-C (SIGINT) and SIGTERM as a request to stop, for a command that
// must write what it holds before it goes.
//
// WatchStopSignals() installs handlers that only note the first signal and
// write `notice` once on standard error; the command asks StopSignal() at
// the points where it can stop. Later signals change nothing, so a write
// in progress is never cut short. SIGINT stays ignored when it was ignored
// at start, as a shell leaves it for a job run in the background. Once the
// command has written its file, DieOfStopSignal() ends the process by the
// signal noted, as a shell expects of a program it interrupted.
//
// `notice` must live as long as the process. Call WatchStopSignals once.

namespace quorvex::book {

void WatchStopSignals(const char* notice);

// The signal noted (SIGINT or SIGTERM), or 0.
int StopSignal();

// Restores the signal's default action and raises it; requires
// StopSignal() != 0.
[[noreturn]] void DieOfStopSignal();

}  // namespace quorvex::book

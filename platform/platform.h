#pragma once
// What the engine needs from the operating system.

#include <cstdint>
#include <string>

namespace quorvex {

// Monotonic milliseconds since the first call in this process.
int32_t MillisecondClock();

// The directory holding the running executable, with a trailing separator;
// empty if the platform cannot tell.
std::string ExecutableDirectory();

// Readies standard input and output for the protocol: bytes pass
// unchanged, so every reply ends in exactly CR LF, and a reply to a manager
// that has closed its end fails instead of ending the process.
void PrepareConsole();

void PauseMilliseconds(int32_t ms);

// A seed for the process's random generator, different from run to run.
uint32_t ProcessSeed();

// The operating system's number for this process.
int64_t ProcessId();

}  // namespace quorvex

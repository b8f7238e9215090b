#include "platform/platform.h"

#include <chrono>
#include <random>
#include <thread>

// The clock, the pause and the seed rest on the standard library alone and
// behave alike everywhere; what differs per system is in platform_posix.cpp
// and platform_windows.cpp.

namespace quorvex {

int32_t MillisecondClock() {
  using namespace std::chrono;
  static const steady_clock::time_point origin = steady_clock::now();
  return static_cast<int32_t>(duration_cast<milliseconds>(steady_clock::now() - origin).count());
}

void PauseMilliseconds(int32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

uint32_t ProcessSeed() {
  std::random_device device;
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return device() ^ static_cast<uint32_t>(now);
}

}  // namespace quorvex

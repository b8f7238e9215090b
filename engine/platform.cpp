#include "engine/platform.h"

#include <chrono>
#include <filesystem>
#include <random>
#include <system_error>
#include <thread>

namespace quorvex {

int32_t MillisecondClock() {
  using namespace std::chrono;
  static const steady_clock::time_point origin = steady_clock::now();
  return static_cast<int32_t>(duration_cast<milliseconds>(steady_clock::now() - origin).count());
}

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

void PrepareConsole() {}

void PauseMilliseconds(int32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

uint32_t ProcessSeed() {
  std::random_device device;
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return device() ^ static_cast<uint32_t>(now);
}

}  // namespace quorvex

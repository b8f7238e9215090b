#include "tests/book/book_test_support.h"

#include <gtest/gtest.h>
#include <spawn.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "book/experience_write.h"

namespace quorvex::book::test {

std::string CopyBrain(const ScratchDir& dir, const std::string& experience) {
  const std::string brain = dir.File("pbrain-quorvex");
  std::filesystem::copy_file(QUORVEX_BRAIN_PATH, brain,
                             std::filesystem::copy_options::overwrite_existing);
  WriteFile(dir.File("Experience.bin"), experience);
  return brain;
}

std::string RunBrainOn(const std::string& brain, const std::string& input, const std::string& env) {
  const std::string path = brain + ".input";
  WriteFile(path, input);
  const auto result = RunProgram("(" + env + " " + brain + " < " + path + ")");
  EXPECT_EQ(result.exitCode, 0) << result.output;
  return result.output;
}

match::test::RunResult RunBook(const std::string& arguments) {
  return RunProgram(std::string(QUORVEX_BOOK_PATH) + " " + arguments);
}

std::string StoreBytes(Engine& engine, const ScratchDir& dir) {
  const std::string path = dir.File("store-snapshot.bin");
  const ExperienceWriteResult written = WriteExperienceFile(engine.store().Db(), path);
  EXPECT_TRUE(written.ok) << written.error;
  return ReadFile(path);
}

pid_t Start(const std::string& commandLine, const std::string& output) {
  const std::string line = "exec " + commandLine + " > " + output + " 2>&1";
  const char* argv[] = {"sh", "-c", line.c_str(), nullptr};
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
  return pid;
}

bool WaitFor(const std::function<bool()>& ready) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!ready()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}

bool Runs(const std::string& path) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
    if (std::filesystem::read_symlink(entry.path() / "exe", ignored) == path) return true;
  }
  return false;
}

bool RunsWith(const std::string& text) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
    std::string line = ReadFile((entry.path() / "cmdline").string());
    std::replace(line.begin(), line.end(), '\0', ' ');
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

}  // namespace quorvex::book::test

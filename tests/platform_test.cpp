#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/platform.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
constexpr const char* kTestProgram = "quorvex_tests.exe";
#else
constexpr char kSeparator = '/';
constexpr const char* kTestProgram = "quorvex_tests";
#endif

TEST(ExecutableDirectory, IsTheRunningProgramsFolderWhateverTheWorkingDirectory) {
  const std::filesystem::path before = std::filesystem::current_path();
  test::TempDir elsewhere;
  std::filesystem::current_path(elsewhere.path());
  const std::string dir = ExecutableDirectory();
  std::filesystem::current_path(before);

  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), kSeparator) << dir;
  EXPECT_TRUE(std::filesystem::is_regular_file(dir + kTestProgram)) << dir;
}

TEST(MillisecondClock, CountsMillisecondsForward) {
  const int32_t start = MillisecondClock();
  PauseMilliseconds(50);
  const int32_t elapsed = MillisecondClock() - start;
  // Sleeps may end a timer tick early on some systems, and a loaded machine
  // may wake late; anything from a tick short of 50 ms to seconds is sane.
  EXPECT_GE(elapsed, 40);
  EXPECT_LT(elapsed, 5000);
}

TEST(ProcessSeed, DiffersFromDrawToDraw) {
  std::set<uint32_t> seeds;
  for (int i = 0; i < 8; ++i) seeds.insert(ProcessSeed());
  EXPECT_GE(seeds.size(), 7u);
}

}  // namespace
}  // namespace quorvex

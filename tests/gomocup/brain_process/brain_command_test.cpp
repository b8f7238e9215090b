// A brain command line, split into words and resolved to a program and its
// directory.

#include "tools/gomocup/brain_process/brain_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/gomocup/gomocup_test_support.h"

namespace quorvex::match {
namespace {

TEST(BrainCommandTest, SplitsWordsWithQuotesAndEscapes) {
  EXPECT_EQ(SplitCommand("a b  c"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SplitCommand("'my brain' \"x y\" z\\ w"),
            (std::vector<std::string>{"my brain", "x y", "z w"}));
  EXPECT_EQ(SplitCommand("a ''"), (std::vector<std::string>{"a", ""}));
  EXPECT_FALSE(SplitCommand("a 'b"));
}

TEST(BrainCommandTest, ResolvesToAnAbsolutePathAndItsDirectory) {
  std::string error;
  const auto sh = ResolveBrainCommand("sh -c 'exit 0'", error);
  ASSERT_TRUE(sh) << error;
  EXPECT_EQ(sh->argv.size(), 3u);
  EXPECT_EQ(sh->argv[0].front(), '/');
  EXPECT_EQ(sh->name, "sh");
  EXPECT_EQ(sh->directory + "/sh", sh->argv[0]);
  EXPECT_EQ(sh->argv[2], "exit 0");

  for (const char* bad : {"", "   ", "./no-such-brain", "no-such-brain-in-path", "'open"}) {
    error.clear();
    EXPECT_FALSE(ResolveBrainCommand(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  test::ScratchDir dir;
  const std::string plain = dir.File("not-executable");
  std::ofstream(plain) << "#!/bin/sh\n";
  std::filesystem::permissions(
      plain, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_FALSE(ResolveBrainCommand(plain, error));
  EXPECT_NE(error.find("no executable file at " + plain), std::string::npos) << error;
}

}  // namespace
}  // namespace quorvex::match

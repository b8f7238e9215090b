// The built brain driven through pipes, as a manager drives it: the exact
// bytes it writes, whatever the platform's C runtime would like to do with
// line ends and control bytes.

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "tests/test_support.h"

namespace quorvex {
namespace {

const std::string kAboutLine =
    "name=\"Quorvex\", version=\"2016\", author=\"Tavenor\", country=\"Japan\"\r\n";

std::string RunOurBrain(const std::string& input, int& exitCode) {
  return test::RunBrain(QUORVEX_BRAIN_PATH, input, exitCode);
}

TEST(BrainThroughPipes, RepliesEndInExactlyCrLfWhateverTheInputLineEnds) {
  struct Case {
    const char* name;
    std::string input;
  };
  const Case cases[] = {
      {"CR LF", "START 20\r\nABOUT\r\nRESTART\r\nEND\r\n"},
      {"LF", "START 20\nABOUT\nRESTART\nEND\n"},
      {"CR", "START 20\rABOUT\rRESTART\rEND\r"},
      {"mixed", "START 20\r\nABOUT\nRESTART\rEND\r\n"},
  };
  for (const Case& c : cases) {
    int exitCode = -1;
    EXPECT_EQ(RunOurBrain(c.input, exitCode), "OK\r\n" + kAboutLine + "UNKNOWN\r\n") << c.name;
    EXPECT_EQ(exitCode, 0) << c.name;
  }
}

TEST(BrainThroughPipes, ACtrlZByteIsAnUnknownLineNotTheEndOfInput) {
  int exitCode = -1;
  const std::string output = RunOurBrain("START 20\r\n\x1a\r\nABOUT\r\n\x1aSTART\r\nEND\r\n", exitCode);
  EXPECT_EQ(output, "OK\r\nUNKNOWN\r\n" + kAboutLine + "UNKNOWN\r\n");
  EXPECT_EQ(exitCode, 0);
}

TEST(BrainThroughPipes, AnswersMovesOneLineEach) {
  int exitCode = -1;
  const std::string output =
      RunOurBrain("START 20\r\nINFO timeout_turn 1000\r\nBEGIN\r\nTURN 9,9\r\nTURN 3,4\r\nEND\r\n", exitCode);
  static const std::regex kReplies("OK\r\n10,10\r\n(1?[0-9],1?[0-9]\r\n){2}");
  EXPECT_TRUE(std::regex_match(output, kReplies)) << output;
  EXPECT_EQ(exitCode, 0);
}

TEST(BrainThroughPipes, EndsCleanlyWhenTheInputCloses) {
  int exitCode = -1;
  EXPECT_EQ(RunOurBrain("START 20\r\nABOUT", exitCode), "OK\r\n" + kAboutLine);
  EXPECT_EQ(exitCode, 0);
}

}  // namespace
}  // namespace quorvex

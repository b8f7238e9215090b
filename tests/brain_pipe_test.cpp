// The built brain driven through pipes, as a manager drives it: the exact
// bytes it writes, whatever the platform's C runtime would like to do with
// line ends and control bytes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  const std::string output =
      RunOurBrain("START 20\r\n\x1a\r\nABOUT\r\n\x1aSTART\r\nEND\r\n", exitCode);
  EXPECT_EQ(output, "OK\r\nUNKNOWN\r\n" + kAboutLine + "UNKNOWN\r\n");
  EXPECT_EQ(exitCode, 0);
}

// The lines of `output`, each of which must end in CR LF; a line that
// does not is kept with what it has, so the comparison shows it.
std::vector<std::string> CrLfLines(const std::string& output) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < output.size()) {
    const std::size_t end = output.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(output.substr(start) + "<no CR LF>");
      break;
    }
    lines.push_back(output.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// True for "x,y" with x and y protocol coordinates 0..19.
bool IsPoint(const std::string& line) {
  const std::size_t comma = line.find(',');
  if (comma == std::string::npos) return false;
  auto coordinate = [](const std::string& digits) {
    if (digits.empty() || digits.size() > 2) return false;
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
    }
    return std::stoi(digits) < 20;
  };
  return coordinate(line.substr(0, comma)) && coordinate(line.substr(comma + 1));
}

TEST(BrainThroughPipes, AnswersMovesOneLineEach) {
  int exitCode = -1;
  const std::string output = RunOurBrain(
      "START 20\r\nINFO timeout_turn 1000\r\nBEGIN\r\nTURN 9,9\r\nTURN 3,4\r\nEND\r\n", exitCode);
  const std::vector<std::string> lines = CrLfLines(output);
  ASSERT_EQ(lines.size(), 4u) << output;
  EXPECT_EQ(lines[0], "OK");
  EXPECT_EQ(lines[1], "10,10");
  EXPECT_TRUE(IsPoint(lines[2])) << lines[2];
  EXPECT_TRUE(IsPoint(lines[3])) << lines[3];
  EXPECT_EQ(exitCode, 0);
}

TEST(BrainThroughPipes, EndsCleanlyWhenTheInputCloses) {
  int exitCode = -1;
  EXPECT_EQ(RunOurBrain("START 20\r\nABOUT", exitCode), "OK\r\n" + kAboutLine);
  EXPECT_EQ(exitCode, 0);
}

}  // namespace
}  // namespace quorvex

// The built brain (brain/main.cpp) driven through pipes, as a manager
// drives it: the exact bytes it writes, whatever the platform's C runtime
// would like to do with line ends and control bytes; and, on POSIX, the
// ways managers are seen to drive brains: suspended between moves, fed a
// whole game without waiting, left in the middle of a line, told memory
// limits of any size.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <signal.h>

#include <chrono>
#include <thread>
#endif

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

#ifndef _WIN32  // signals and pipes are POSIX ones

TEST(ManagerHabits, StoppedAndContinuedBetweenMovesTheBrainPlaysOn) {
  // Gomocup's referee suspends each brain while the other thinks, at any
  // moment: here right after BEGIN's reply, while the brain pauses, and
  // after every move.
  test::BrainProcess brain(QUORVEX_BRAIN_PATH);
  brain.Send("START 20\r\nINFO timeout_turn 200\r\nBEGIN\r\n");
  ASSERT_EQ(brain.ReadLine(), "OK");
  ASSERT_EQ(brain.ReadLine(), "10,10");
  std::vector<bool> taken(400);
  taken[10 * 20 + 10] = true;
  for (int move = 0; move < 8; ++move) {
    for (int stop = 0; stop < 3; ++stop) {
      kill(brain.pid(), SIGSTOP);
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      kill(brain.pid(), SIGCONT);
    }
    const int ours = 2 * 20 + move * 2;  // a column of stones at x = 2
    taken[ours] = true;
    brain.Send("TURN 2," + std::to_string(move * 2) + "\r\n");
    const std::string reply = brain.ReadLine();
    const int point = test::ReplyPointIndex(reply);
    ASSERT_GE(point, 0) << reply;
    ASSERT_FALSE(taken[point]) << reply;
    taken[point] = true;
  }
  brain.Send("END\r\n");
  EXPECT_EQ(brain.Wait(), 0);
}

TEST(ManagerHabits, AWholeMatchWrittenAtOnceIsAnsweredLineForLine) {
  // Ten games, every command written before any reply is read: a listing
  // of one stone of ours, then TURNs along the first two rows. The brain
  // answers each request in order: with a point that is free, or with
  // ERROR when our TURN lands on a stone it played meanwhile.
  constexpr int kGames = 10;
  std::vector<std::vector<int>> ours(kGames);
  std::string input;
  for (int game = 0; game < kGames; ++game) {
    input += "START 20\r\nINFO timeout_turn 50\r\nINFO max_memory 83886080\r\nBOARD\r\n";
    input += std::to_string(game) + ",5,2\r\nDONE\r\n";
    ours[game].push_back(game * 20 + 5);
    for (int i = 0; i < 30; ++i) {
      const int x = (game + 3 * i) % 20;
      const int y = i % 2;
      input += "INFO time_left 100000\r\nTURN " + std::to_string(x) + "," + std::to_string(y) + "\r\n";
      ours[game].push_back(x * 20 + y);
    }
  }
  input += "END\r\n";
  test::BrainProcess brain(QUORVEX_BRAIN_PATH);
  // A writer of its own: the brain's replies fill our pipe meanwhile.
  std::thread writer([&] {
    brain.Send(input);
    brain.CloseInput();
  });
  for (int game = 0; game < kGames; ++game) {
    SCOPED_TRACE("game " + std::to_string(game));
    std::vector<bool> taken(400);
    EXPECT_EQ(brain.ReadLine(), "OK");
    for (std::size_t i = 0; i < ours[game].size(); ++i) {
      const std::string reply = brain.ReadLine();
      const bool refused = taken[ours[game][i]];
      taken[ours[game][i]] = true;
      if (refused) {
        EXPECT_EQ(reply.rfind("ERROR ", 0), 0u) << "request " << i << ": " << reply;
        continue;
      }
      const int point = test::ReplyPointIndex(reply);
      ASSERT_GE(point, 0) << "request " << i << ": " << reply;
      EXPECT_FALSE(taken[point]) << "request " << i << ": " << reply;
      taken[point] = true;
    }
  }
  writer.join();
  EXPECT_EQ(brain.ReadLine(), "<none>");
  EXPECT_EQ(brain.Wait(), 0);
}

TEST(ManagerHabits, AManagerGoneInTheMiddleOfALineEndsTheBrainCleanly) {
  struct Case {
    const char* name;
    bool closeOutputToo;
  };
  for (const Case& c : {Case{"input closed", false}, Case{"both pipes closed", true}}) {
    SCOPED_TRACE(c.name);
    test::BrainProcess brain(QUORVEX_BRAIN_PATH);
    brain.Send("START 20\r\nINFO timeout_turn 100\r\nBEGIN\r\n");
    ASSERT_EQ(brain.ReadLine(), "OK");
    ASSERT_EQ(brain.ReadLine(), "10,10");
    brain.Send("TURN 9,");
    if (c.closeOutputToo) brain.CloseOutput();
    brain.CloseInput();
    // Whatever the brain makes of the half line, it must end by itself,
    // not be killed by SIGPIPE on the reply nobody reads.
    EXPECT_EQ(brain.Wait(), 0);
  }
}

TEST(ManagerHabits, MaxMemoryOfAnySizeIsTakenSilently) {
  test::BrainProcess brain(QUORVEX_BRAIN_PATH);
  brain.Send("START 20\r\nINFO timeout_turn 100\r\n");
  ASSERT_EQ(brain.ReadLine(), "OK");
  const char* values[] = {"0",          "1",          "350000000",           "2147483647",
                          "2147483648", "4294967296", "9223372036854775807", "9223372036854775808",
                          "-1",         "1e9",        ""};
  for (const char* value : values) brain.Send(std::string("INFO max_memory ") + value + "\r\n");
  // Nothing came for the INFO lines: the first line after them answers the
  // move.
  brain.Send("TURN 9,9\r\n");
  const std::string reply = brain.ReadLine();
  EXPECT_GE(test::ReplyPointIndex(reply), 0) << reply;
  EXPECT_NE(test::ReplyPointIndex(reply), 9 * 20 + 9) << reply;
  brain.Send("END\r\n");
  EXPECT_EQ(brain.Wait(), 0);
}

#endif

}  // namespace
}  // namespace quorvex

// The real brain through pipes, driven the ways managers are seen to drive
// brains: suspended between moves, fed a whole game without waiting, left
// in the middle of a line, told memory limits of any size.

#ifndef _WIN32

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/test_support.h"

namespace quorvex {
namespace {

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

}  // namespace
}  // namespace quorvex

#endif  // signals and pipes are POSIX ones

// The command line of quorvex-match, read without running a match.

#include "tools/match/options.h"

#include <gtest/gtest.h>

namespace quorvex::match {
namespace {

TEST(OptionsTest, ReadsEveryOption) {
  std::string error;
  const auto options = ParseOptions({"-g",         "10",           "--size",
                                     "15",         "-t",           "1000",
                                     "-m",         "60000",        "--tolerance-ms",
                                     "300",        "--max-memory", "1000000",
                                     "--start-ms", "500",          "-o",
                                     "open.txt",   "--reuse",      "-w",
                                     "--delay-ms", "20",           "--out",
                                     "dir",        "-q",           "brain a",
                                     "human"},
                                    error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->games, 10);
  EXPECT_EQ(options->settings.boardSize, 15);
  EXPECT_EQ(options->settings.turnMs, 1000);
  EXPECT_EQ(options->settings.matchMs, 60000);
  EXPECT_EQ(options->settings.toleranceMs, 300);
  EXPECT_EQ(options->settings.maxMemory, 1000000);
  EXPECT_EQ(options->settings.startMs, 500);
  EXPECT_EQ(options->openingsPath, "open.txt");
  EXPECT_TRUE(options->reuse && options->watch && options->quiet);
  EXPECT_EQ(options->delayMs, 20);
  EXPECT_EQ(options->outDir, "dir");
  EXPECT_EQ(options->players[0], "brain a");
  EXPECT_EQ(options->players[1], "human");
}

TEST(OptionsTest, RejectsBadCommandLinesWithAReason) {
  struct Case {
    std::vector<std::string> args;
    const char* errorPart;
  };
  const std::vector<Case> cases = {
      {{"a"}, "two players"},
      {{"a", "b", "c"}, "3 given"},
      {{"--size", "19", "a", "b"}, "15 or 20"},
      {{"--size", "25", "a", "b"}, "from 15 to 20"},
      {{"-g", "0", "a", "b"}, "--games takes a whole number"},
      {{"-t", "fast", "a", "b"}, "not \"fast\""},
      {{"-t", "10x", "a", "b"}, "not \"10x\""},
      {{"a", "b", "--turn-ms"}, "needs a value"},
      {{"--frobnicate", "a", "b"}, "unknown option --frobnicate"},
      {{"--serve", "a", "b", "c"}, "at most two brains, 3 given"},
      {{"--serve", "a", "human"}, "give only brains"},
      {{"--serve", "--port", "65536"}, "--port takes a whole number from 0 to 65535"},
      {{"--port", "8000", "a", "b"}, "--port and --host go with --serve"},
      {{"--host", "0.0.0.0", "a", "b"}, "--port and --host go with --serve"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseOptions(c.args, error)) << c.errorPart;
    EXPECT_NE(error.find(c.errorPart), std::string::npos) << error;
  }
  std::string error;
  const auto serve = ParseOptions({"--serve", "--port", "0", "--host", "::1"}, error);
  ASSERT_TRUE(serve) << error;
  EXPECT_TRUE(serve->serve && serve->players.empty());
  EXPECT_EQ(serve->port, 0);
  EXPECT_EQ(serve->host, "::1");
  const auto help = ParseOptions({"--help"}, error);
  ASSERT_TRUE(help);
  EXPECT_TRUE(help->help);
}

}  // namespace
}  // namespace quorvex::match

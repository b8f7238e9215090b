// The command line of quorvex-book, read without running a command: every
// option of every command reaches its field, and a command refuses what it
// does not take.

#include "tools/book/options.h"

#include <gtest/gtest.h>

namespace quorvex::book {
namespace {

TEST(BookOptions, EveryOptionReachesItsFieldWhereverItStands) {
  std::string error;
  const auto train = ParseOptions(
      {"train", "--opponent", "brain a", "--games", "12", "--openings", "open.txt", "--base",
       "base.bin", "out.bin", "--opponent", "-x", "--touch", "71000", "--checkpoint-every", "4",
       "--block", "6", "--turn-ms", "900", "--size", "15", "--seed", "4294967295",
       "--protocol-log", "log.txt", "--shard", "2/3", "--games", "14"},
      error);
  ASSERT_TRUE(train) << error;
  EXPECT_EQ(train->files, std::vector<std::string>{"out.bin"});
  EXPECT_EQ(train->opponents, (std::vector<std::string>{"brain a", "-x"}));
  EXPECT_EQ(train->games, 14);  // the last of an option given twice
  EXPECT_EQ(train->openings, "open.txt");
  EXPECT_EQ(train->base, "base.bin");
  EXPECT_EQ(train->touch, 71000);
  EXPECT_EQ(train->checkpointEvery, 4);
  EXPECT_EQ(train->block, 6);
  EXPECT_EQ(train->turnMs, 900);
  EXPECT_EQ(train->size, 15);
  EXPECT_EQ(train->seed, 4294967295u);
  EXPECT_EQ(train->protocolLog, "log.txt");
  ASSERT_TRUE(train->shard);
  EXPECT_EQ(train->shard->index, 2);
  EXPECT_EQ(train->shard->count, 3);

  const auto jobs = ParseOptions({"train", "o", "--opponent", "b", "--jobs", "3"}, error);
  ASSERT_TRUE(jobs) << error;
  EXPECT_EQ(jobs->jobs, 3);
  EXPECT_FALSE(jobs->touch || jobs->seed || jobs->shard);
  const auto dump = ParseOptions({"dump", "--csv", "f.bin"}, error);
  ASSERT_TRUE(dump && dump->csv) << error;
  const auto trim = ParseOptions({"trim", "a", "b", "--max-bytes", "9000000000"}, error);
  ASSERT_TRUE(trim) << error;
  EXPECT_EQ(trim->maxBytes, 9000000000);
  const auto learn = ParseOptions({"learn", "out", "g1.psq", "g2.sgf"}, error);
  ASSERT_TRUE(learn) << error;
  EXPECT_EQ(learn->files.size(), 3u);
  // The help, unless a fault comes before it.
  const auto help = ParseOptions({"merge", "--help", "--bogus"}, error);
  ASSERT_TRUE(help && help->help && help->command == "merge");
  EXPECT_FALSE(ParseOptions({"merge", "--bogus", "--help"}, error));
}

TEST(BookOptions, BadCommandLinesAreRefusedWithTheReason) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{}, "no command given"},
      {{"frobnicate", "x"}, "unknown command frobnicate"},
      {{"stats", "a", "b"}, "stats needs one FILE, 2 given"},
      {{"dump", "a", "--base", "b"}, "dump takes no option --base"},
      {{"stats", "--frob", "a"}, "stats takes no option --frob"},
      {{"trim", "a", "b", "--max-bytes", "-1"},
       "--max-bytes takes a whole number from 0 to 9223372036854775807, not \"-1\""},
      {{"train", "o", "--opponent", "b", "--games", "5x"}, "--games takes a whole number"},
      {{"train", "o", "--opponent", "b", "--seed", "4294967296"}, "from 0 to 4294967295"},
      {{"train", "o", "--opponent", "b", "--size", "17"}, "--size must be 15 or 20"},
      {{"train", "o", "--opponent"}, "--opponent needs a value"},
      {{"train", "o"}, "train needs --opponent CMD"},
      {{"train", "o", "--opponent", "b", "--shard", "3/2"}, "--shard takes K/N"},
      {{"train", "o", "--opponent", "b", "--shard", "1/2", "--jobs", "2"},
       "--shard and --jobs do not go together"},
      {{"learn", "o", "g", "--touch", "0"}, "--touch takes a whole number from 1"},
      // The first fault of the line is the one named.
      {{"learn", "o", "--touch", "0", "--frob"}, "--touch takes"},
      {{"learn", "o", "--frob", "--touch", "0"}, "learn takes no option --frob"},
  };
  for (const auto& [args, says] : cases) {
    std::string error;
    EXPECT_FALSE(ParseOptions(args, error)) << says;
    EXPECT_NE(error.find(says), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace quorvex::book

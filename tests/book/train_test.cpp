// Training against the brain itself: the store `train` writes equals, byte
// for byte and so row for row, the store of a brain process that was given
// the same lines (its protocol log), seen through QUORVEX_STORE_DUMP. The
// turn time is long enough that no search is cut short, so both decide
// alike; a second run from the first one's file checks --base.

#include <gtest/gtest.h>

#include "tests/book/book_test_support.h"

namespace quorvex::book {
namespace {

using test::ScratchDir;

TEST(BookTrain, TheStoreEqualsThatOfABrainProcessThatPlayedTheSameGames) {
  ScratchDir dir, opponentDir, brainDir;
  const std::string opponent = test::CopyBrain(opponentDir);
  std::string base;
  for (const char* seed : {"11", "12"}) {
    const std::string out = dir.File(std::string("train-") + seed + ".bin");
    const std::string log = dir.File(std::string("log-") + seed + ".txt");
    const auto result =
        test::RunBook("train " + out + " --opponent " + opponent + " --games 3 --turn-ms 60000" +
                      " --seed " + seed + " --protocol-log " + log +
                      (base.empty() ? "" : " --base " + base));
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("game 3/3: "), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("games 3, forfeits 0"), std::string::npos) << result.output;

    const std::string brain = test::CopyBrain(brainDir, base.empty() ? "" : test::ReadFile(base));
    const std::string dump = brainDir.File("dump.bin");
    test::RunBrainOn(brain, test::ReadFile(log),
                     std::string("QUORVEX_SEED=") + seed + " QUORVEX_STORE_DUMP=" + dump);
    const std::string trained = test::ReadFile(out);
    EXPECT_GT(trained.size(), test::ReadFile(base.empty() ? "/dev/null" : base).size());
    EXPECT_TRUE(trained == test::ReadFile(dump)) << "seed " << seed;
    base = out;
  }
}

}  // namespace
}  // namespace quorvex::book

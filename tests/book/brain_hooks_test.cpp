// The brain's test hooks through its pipes: with QUORVEX_SEED and
// QUORVEX_STORE_DUMP set, the brain answers exactly as an engine in this
// process with that seed, and its dump holds that engine's store as the
// last game left it, at every START and at the end.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "brain/command_loop.h"
#include "tests/book/book_test_support.h"
#include "tools/gomocup/brain_process/child_process.h"

namespace quorvex::book {
namespace {

using test::ScratchDir;

constexpr uint32_t kSeed = 20240611;

// Game 1 opens with a listing of no stones, so the engine's first stone is
// drawn at random, from the seed.
const std::vector<std::string> kGame1 = {"START 20", "INFO timeout_turn 100000", "BOARD",
                                         "DONE",     "TURN 3,4",                 "TURN 12,13"};
const std::vector<std::string> kGame2 = {"START 20", "INFO timeout_turn 100000", "BEGIN",
                                         "TURN 10,11", "TURN 9,9", "END"};

bool Answered(const std::string& line) {
  return line.starts_with("START") || line == "BEGIN" || line == "DONE" ||
         line.starts_with("TURN");
}

TEST(BrainHooks, ASeededBrainAnswersAsTheEngineAndDumpsItsStoreAtEachStartAndAtTheEnd) {
  ScratchDir dir;
  // The engine in this process, and its store before game 2 and after it.
  Engine engine(EngineConfig{.experiencePath = "/dev/null", .clock = {}, .seed = kSeed});
  std::istringstream noInput;
  std::ostringstream replies;
  CommandLoop loop(engine, noInput, replies, [](int32_t) {});
  for (const std::string& line : kGame1) loop.HandleLine(line);
  const std::string afterGame1 = test::StoreBytes(engine, dir);
  for (const std::string& line : kGame2) loop.HandleLine(line);
  const std::string afterGame2 = test::StoreBytes(engine, dir);
  ASSERT_NE(afterGame1, afterGame2);

  const std::string brain = test::CopyBrain(dir);
  const test::ScopedEnv seed("QUORVEX_SEED", std::to_string(kSeed));
  const test::ScopedEnv dump("QUORVEX_STORE_DUMP", dir.File("dump-%p.bin"));
  match::ChildProcess process;
  std::string error;
  ASSERT_TRUE(process.Spawn({brain}, dir.path(), error)) << error;
  std::istringstream expected(replies.str());
  std::string dumpName;
  for (const std::vector<std::string>* game : {&kGame1, &kGame2}) {
    for (const std::string& line : *game) {
      ASSERT_TRUE(process.WriteLine(line));
      if (!Answered(line)) continue;
      std::string reply, want;
      ASSERT_EQ(process.ReadLine(reply, 100000), match::ChildProcess::ReadStatus::Line) << line;
      std::getline(expected, want);
      EXPECT_EQ(reply + "\r", want) << line;
      if (game == &kGame2 && line.starts_with("START")) {
        // The dump was written before the OK: the store as game 1 left it.
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
          if (entry.path().filename().string().starts_with("dump-")) {
            dumpName = entry.path().filename().string();
          }
        }
        EXPECT_EQ(test::ReadFile(dir.File(dumpName)), afterGame1);
      }
    }
  }
  // Nothing more on standard output, and at the end the store as game 2 left it.
  std::string extra;
  EXPECT_EQ(process.ReadLine(extra, 10000), match::ChildProcess::ReadStatus::Closed) << extra;
  process.Stop(1000);
  EXPECT_EQ(process.exitDescription(), "exited with code 0");
  EXPECT_EQ(dumpName.find_first_not_of("0123456789", 5), dumpName.size() - 4) << dumpName;
  EXPECT_TRUE(dumpName.ends_with(".bin")) << dumpName;
  EXPECT_EQ(test::ReadFile(dir.File(dumpName)), afterGame2);
  EXPECT_EQ(test::ReadFile(dir.File("Experience.bin")), "");
}

}  // namespace
}  // namespace quorvex::book

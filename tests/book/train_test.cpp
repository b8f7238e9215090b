// Training against the brain itself: the store `train` writes equals, byte
// for byte and so row for row, the store of a brain process that was given
// the same lines (its protocol log), seen through QUORVEX_STORE_DUMP. The
// turn time is long enough that no search is cut short, so both decide
// alike; a second run from the first one's file checks --base. The same
// holds from openings, over several opponents, with a run stamp, and for a
// run stopped by a signal.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/book/book_test_support.h"
#include "tests/experience_test_support.h"
#include "tools/book/experience_input.h"

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

TEST(BookTrain, FromOpeningsOverTwoOpponentsWithARunStampTheStoreIsTheBrainsToo) {
  ScratchDir dir, opponentDir, brainDir;
  const std::string opponent = test::CopyBrain(opponentDir);
  const std::string openings = dir.File("openings.txt");
  test::WriteFile(openings, "0,0, 1,1, -1,1\n0,0, 1,0, 0,2, 2,-2\n");
  const std::string out = dir.File("train.bin");
  const std::string log = dir.File("log.txt");
  const auto result = test::RunBook("train " + out + " --openings " + openings + " --opponent " +
                                    opponent + " --opponent '" +
                                    match::test::ScriptedCommand("good") +
                                    "' --games 8 --block 4 --turn-ms 60000 --seed 13" +
                                    " --touch 71000 --protocol-log " + log);
  ASSERT_EQ(result.exitCode, 0) << result.output;
  // Pair k meets opponent k mod 2 and opening k / 2: all four pairs, both colours.
  for (const char* line : {"game 3/8, opening 1, scripted_brain: ",
                           "game 8/8, opening 2, scripted_brain: ", "games 5-8: "}) {
    EXPECT_NE(result.output.find(line), std::string::npos) << line << "\n" << result.output;
  }
  // Game 5: the engine, black and to move, is given the opening as a manager gives it.
  const std::string lines = test::ReadFile(log);
  EXPECT_NE(lines.find("BOARD\r\n10,10,1\r\n11,10,2\r\n10,12,1\r\n12,8,2\r\nDONE\r\n"),
            std::string::npos);

  // A brain whose file gives it the stamp 71000: the same rows after one of
  // its own, which no game meets.
  const quorvex::test::Bytes marker =
      quorvex::test::EncodeRecords({{1, 2, 11, 11, 1, 1, 1, 70999}});
  const std::string brain = test::CopyBrain(brainDir, std::string(marker.begin(), marker.end()));
  const std::string dump = brainDir.File("dump.bin");
  test::RunBrainOn(brain, lines, "QUORVEX_SEED=13 QUORVEX_STORE_DUMP=" + dump);
  const std::string trained = test::ReadFile(out);
  EXPECT_TRUE(trained == test::ReadFile(dump).substr(marker.size()));
  std::string error;
  const auto book = LoadBook(out, 0, false, error);
  ASSERT_TRUE(book) << error;
  int64_t pastNine = 0, otherStamps = 0;
  for (const ExperienceRecord& row : StoreRows(*book->engine)) {
    otherStamps += row.touch != 71000 ? 1 : 0;
    pastNine += row.moveNo > 9 ? 1 : 0;
  }
  EXPECT_EQ(otherStamps, 0);
  EXPECT_GT(pastNine, 0);
}

// Starts `commandLine` through the shell, its output into `output`; the
// shell becomes the program, so the id is the program's.
pid_t Start(const std::string& commandLine, const std::string& output) {
  const std::string line = "exec " + commandLine + " > " + output + " 2>&1";
  const char* argv[] = {"sh", "-c", line.c_str(), nullptr};
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
  return pid;
}

// Waits until `ready` holds, for at most a minute.
bool WaitFor(const std::function<bool()>& ready) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!ready()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}

// Whether a process still runs the program at `path`.
bool Runs(const std::string& path) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
    if (std::filesystem::read_symlink(entry.path() / "exe", ignored) == path) return true;
  }
  return false;
}

TEST(BookTrain, AStopKeepsTheGamesFinishedAndNoWriteIsEverHalfDone) {
  ScratchDir dir, opponentDir, brainDir;
  const std::string out = dir.File("train.bin");
  const std::string log = dir.File("log.txt");
  const std::string output = dir.File("output.txt");
  const auto said = [&](const std::string& text) {
    return test::ReadFile(output).find(text) != std::string::npos;
  };

  // 1. Ctrl-C in the middle of a game, after a checkpoint: the opponent, a
  //    copy of the scripted brain, takes 200 ms a move, so a game lasts
  //    about a second and the engine has had its opening by then.
  const std::string slow = opponentDir.File("scripted_brain");
  std::filesystem::copy_file(SCRIPTED_BRAIN_PATH, slow);
  pid_t pid = Start(std::string(QUORVEX_BOOK_PATH) + " train " + out + " --opponent '" + slow +
                        " late --delay 200' --openings " + BALANCED_OPENINGS_PATH +
                        " --games 1000 --checkpoint-every 2 --turn-ms 60000 --seed 21" +
                        " --protocol-log " + log,
                    output);
  ASSERT_TRUE(WaitFor([&] { return said("checkpoint: wrote") && said("game 5/1000"); }))
      << test::ReadFile(output);
  std::string error;
  EXPECT_TRUE(LoadBook(out, 0, false, error)) << error;
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  const std::string text = test::ReadFile(output);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status << "\n" << text;
  EXPECT_NE(text.find("game 6/1000, opening 3: abandoned"), std::string::npos) << text;
  EXPECT_FALSE(Runs(slow)) << "the opponent outlived the run";
  // OUT holds the games finished, as a brain given their lines holds them.
  int finished = 0;
  for (std::size_t at = 0; (at = text.find(" stones; store ", at)) != std::string::npos; ++at) {
    ++finished;
  }
  const std::string lines = test::ReadFile(log);
  EXPECT_EQ(match::test::CountLines(lines, "START 20\r"), finished) << text;
  EXPECT_EQ(finished, 5);
  const std::string brain = test::CopyBrain(brainDir);
  const std::string dump = brainDir.File("dump.bin");
  test::RunBrainOn(brain, lines, "QUORVEX_SEED=21 QUORVEX_STORE_DUMP=" + dump);
  EXPECT_TRUE(test::ReadFile(out) == test::ReadFile(dump));

  // 2. SIGKILL while a checkpoint of a large store is being written: OUT
  //    is the last whole checkpoint, or none yet.
  std::vector<ExperienceRecord> rows(100000);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i] = {static_cast<int64_t>(i) + 1, 7, 11, 12, 1, 1, 1 + static_cast<int64_t>(i % 9), 1};
  }
  const quorvex::test::Bytes big = quorvex::test::EncodeRecords(rows);
  test::WriteFile(dir.File("big.bin"), std::string(big.begin(), big.end()));
  const std::string killed = dir.File("killed.bin");
  const std::string opponent = test::CopyBrain(opponentDir);
  pid = Start(std::string(QUORVEX_BOOK_PATH) + " train " + killed + " --base " +
                  dir.File("big.bin") + " --opponent " + opponent +
                  " --games 1000 --checkpoint-every 1 --turn-ms 60000",
              output);
  const auto writing = [&] {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path(), ignored)) {
      if (entry.path().filename().string().starts_with("killed.bin.tmp-")) return true;
    }
    return false;
  };
  ASSERT_TRUE(WaitFor([&] { return said("game 2/1000") && writing(); })) << test::ReadFile(output);
  kill(pid, SIGKILL);
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  const auto whole = LoadBook(killed, 0, false, error);
  ASSERT_TRUE(whole) << error;
  EXPECT_GT(whole->contents.records.size(), rows.size());
}

}  // namespace
}  // namespace quorvex::book

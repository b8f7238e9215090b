// Training at scale: shares of the openings trained apart, by a job runner
// or by train --jobs, and a run of --jobs that is stopped and goes on. The
// opponent is deterministic (the brain itself, its seed fixed and its store
// empty, a fresh process each game) and no move is cut short by the time,
// so equal runs give equal files, byte for byte and so row for row.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <filesystem>
#include <sstream>

#include "tests/book/book_test_support.h"
#include "tests/experience_test_support.h"
#include "tools/book/experience_input.h"

namespace quorvex::book {
namespace {

using test::ReadFile;
using test::ScratchDir;

// The run every test here trains: 12 openings, the brain as opponent.
std::string RunOptions(const std::string& opponent, int games) {
  return " --opponent " + opponent + " --openings " + BALANCED_OPENINGS_PATH + " --games " +
         std::to_string(games) + " --turn-ms 60000 --seed 7 --touch 71000";
}

std::string OpeningLines() {
  std::string lines;
  std::istringstream text(ReadFile(BALANCED_OPENINGS_PATH));
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line[0] != '#') lines += line + "\n";
  }
  return lines;
}

TEST(BookShards, AShareIsARunOverItsOpeningsAndSharesJoinedEqualTrainJobs) {
  ScratchDir dir, opponentDir;
  const std::string opponent = test::CopyBrain(opponentDir);
  test::ScopedEnv seed("QUORVEX_SEED", "5");
  const std::string run = RunOptions(opponent, 48);

  // 1. Three shares run by GNU parallel, each an ordinary command.
  if (test::RunProgram("parallel --version").exitCode != 0) {
    GTEST_SKIP() << "GNU parallel is not installed (scripts/install-deps installs it): the "
                    "shares cannot be run by it here";
  }
  const auto parallel =
      test::RunProgram("parallel --will-cite -j 3 " + std::string(QUORVEX_BOOK_PATH) + " train " +
                       dir.File("p.bin.{}") + " --shard {}/3" + run + " ::: 1 2 3");
  ASSERT_EQ(parallel.exitCode, 0) << parallel.output;

  // 2. Share K holds openings K, K+3, ... of the file (lines from 1): its
  //    file is that of a run over those alone, with its 16 of the 48 games.
  std::vector<std::string> lines;
  std::istringstream all(OpeningLines());
  for (std::string line; std::getline(all, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 12u);
  for (int k = 1; k <= 3; ++k) {
    std::string mine;
    for (std::size_t i = static_cast<std::size_t>(k) - 1; i < lines.size(); i += 3)
      mine += lines[i] + "\n";
    const std::string openings = dir.File("openings-" + std::to_string(k) + ".txt");
    test::WriteFile(openings, mine);
    const std::string alone = dir.File("alone-" + std::to_string(k) + ".bin");
    const auto trained =
        test::RunBook("train " + alone + " --opponent " + opponent + " --openings " + openings +
                      " --games 16 --turn-ms 60000 --seed 7 --touch 71000");
    ASSERT_EQ(trained.exitCode, 0) << trained.output;
    const std::string share = ReadFile(dir.File("p.bin." + std::to_string(k)));
    EXPECT_GT(share.size(), 0u);
    EXPECT_TRUE(share == ReadFile(alone)) << "share " << k;
  }

  // 3. Their files joined equal train --jobs 3, which shows each share's
  //    curve and the run's games.
  const auto merged = test::RunBook("merge " + dir.File("p.bin") + " " + dir.File("p.bin.1") + " " +
                                    dir.File("p.bin.2") + " " + dir.File("p.bin.3"));
  ASSERT_EQ(merged.exitCode, 0) << merged.output;
  const auto jobs = test::RunBook("train " + dir.File("j.bin") + " --jobs 3 --block 8" + run);
  ASSERT_EQ(jobs.exitCode, 0) << jobs.output;
  EXPECT_TRUE(ReadFile(dir.File("p.bin")) == ReadFile(dir.File("j.bin")));
  for (const char* line : {"shard 2/3: games 9-16: ", "all shards: 48/48 games", "wrote "}) {
    EXPECT_NE(jobs.output.find(line), std::string::npos) << line << "\n" << jobs.output;
  }
  EXPECT_TRUE(ReadFile(dir.File("j.bin.shard-2-of-3")) == ReadFile(dir.File("p.bin.2")));
}

// Whether `pid` has ended, reaping it; its status in `status`.
bool Ended(pid_t pid, int& status) { return waitpid(pid, &status, WNOHANG) == pid; }

TEST(BookShards, AStoppedRunGoesOnToTheStoreOfOneThatRanThrough) {
  ScratchDir dir, opponentDir;
  const std::string opponent = test::CopyBrain(opponentDir);
  test::ScopedEnv seed("QUORVEX_SEED", "5");
  const std::string run = RunOptions(opponent, 120) + " --jobs 2 --checkpoint-every 10";
  const std::string book = std::string(QUORVEX_BOOK_PATH) + " train ";
  const auto through = test::RunBook("train " + dir.File("through.bin") + run);
  ASSERT_EQ(through.exitCode, 0) << through.output;

  // 1. SIGTERM to the run while its shares play: every share writes its
  //    file, OUT joins them, and no process is left behind.
  const std::string out = dir.File("stopped.bin");
  const std::string output = dir.File("output.txt");
  pid_t pid = test::Start(book + out + run, output);
  ASSERT_TRUE(test::WaitFor([&] {
    return ReadFile(out + ".shard-1-of-2.log").find("game 20/60") != std::string::npos;
  })) << ReadFile(output);
  kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  const std::string text = ReadFile(output);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status << "\n" << text;
  EXPECT_NE(text.find("shard 1/2: stopped after "), std::string::npos) << text;
  EXPECT_NE(text.find("wrote " + out + ":"), std::string::npos) << text;
  EXPECT_TRUE(std::filesystem::exists(out + ".shard-1-of-2.resume"));
  EXPECT_FALSE(test::RunsWith(out + ".shard-")) << "a shard outlived the run";
  EXPECT_FALSE(test::Runs(opponent)) << "an opponent outlived the run";
  std::string error;
  EXPECT_TRUE(LoadBook(out, ReadScope::AsABrain, 0, false, error)) << error;

  // 2. Another command is refused while a share's resume file is there.
  const auto other =
      test::RunBook("train " + out + ".shard-1-of-2" + RunOptions(opponent, 100) + " --shard 1/2");
  EXPECT_EQ(other.exitCode, 1);
  EXPECT_NE(other.output.find("was left by another run: games (100 here, 120 in the file)"),
            std::string::npos)
      << other.output;

  // 3. The same command goes on, and ends where the run without a stop did.
  const auto resumed = test::RunBook("train " + out + run);
  ASSERT_EQ(resumed.exitCode, 0) << resumed.output;
  EXPECT_NE(resumed.output.find("(going on)"), std::string::npos) << resumed.output;
  EXPECT_TRUE(ReadFile(out) == ReadFile(dir.File("through.bin")));
  EXPECT_FALSE(std::filesystem::exists(out + ".shard-1-of-2.resume"));
  const auto table = [](const std::string& log) {
    const std::size_t from = log.rfind("score of the run");
    return log.substr(from, log.find("\nwrote ", from) - from);
  };
  EXPECT_EQ(table(ReadFile(out + ".shard-1-of-2.log")),
            table(ReadFile(dir.File("through.bin.shard-1-of-2.log"))));

  // 4. A stop ends an opponent that is thinking at once: one that would
  //    take ten minutes over its move.
  const std::string slow = opponentDir.File("scripted_brain");
  std::filesystem::copy_file(SCRIPTED_BRAIN_PATH, slow);
  const std::string asked = dir.File("asked.log");
  pid = test::Start(book + dir.File("slow.bin") + " --opponent '" + slow +
                        " late --delay 600000 --log " + asked + "' --turn-ms 700000",
                    output);
  ASSERT_TRUE(test::WaitFor([&] { return ReadFile(asked).find("TURN ") != std::string::npos; }));
  kill(pid, SIGTERM);
  const bool ended = test::WaitFor([&] { return Ended(pid, status); });
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  ASSERT_TRUE(ended) << "the run waited for its opponent's move\n" << ReadFile(output);
  EXPECT_NE(ReadFile(output).find("abandoned, the run was stopped"), std::string::npos);
  EXPECT_FALSE(test::Runs(slow));
}

}  // namespace
}  // namespace quorvex::book

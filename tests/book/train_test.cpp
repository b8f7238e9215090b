// Training against the brain itself: the store `train` writes equals, byte
// for byte and so row for row, the store of a brain process that was given
// the same lines (its protocol log), seen through QUORVEX_STORE_DUMP. The
// turn time is long enough that no search is cut short, so both decide
// alike; a second run from the first one's file checks --base. The same
// holds from openings, over several opponents, with a run stamp, and for a
// run stopped by a signal.
//
// Experience that lasts: a file trained with --touch 71000 from openings
// keeps whole games, and a fresh brain process loading it, given the same
// openings by a manager against the same deterministic opponent (the brain
// itself, its seed fixed and its store empty), plays the stored winning
// continuation past stone 9; without --touch it has none to play.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "game/position_key.h"
#include "tests/book/book_test_support.h"
#include "tests/experience_test_support.h"
#include "tools/book/experience_input.h"
#include "tools/gomocup/records/game_record_reader.h"

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

using test::Runs;
using test::Start;
using test::WaitFor;

TEST(BookTrain, FromOpeningsOverTwoOpponentsAStopKeepsTheGamesFinishedAsABrainWould) {
  ScratchDir dir, opponentDir, brainDir;
  const std::string out = dir.File("train.bin");
  const std::string log = dir.File("log.txt");
  const std::string output = dir.File("output.txt");
  const auto said = [&](const std::string& text) {
    return test::ReadFile(output).find(text) != std::string::npos;
  };

  // 1. Two opponents, a copy of the scripted brain taking 200 ms a move (a
  //    game lasts about a second) and the brain; Ctrl-C in the middle of
  //    game 6, after a checkpoint.
  const std::string slow = opponentDir.File("scripted_brain");
  std::filesystem::copy_file(SCRIPTED_BRAIN_PATH, slow);
  pid_t pid = Start(std::string(QUORVEX_BOOK_PATH) + " train " + out + " --opponent '" + slow +
                        " late --delay 200' --opponent " + test::CopyBrain(opponentDir) +
                        " --openings " + BALANCED_OPENINGS_PATH + " --games 1000 --block 4" +
                        " --checkpoint-every 2 --turn-ms 60000 --seed 21 --touch 71000" +
                        " --protocol-log " + log,
                    output);
  ASSERT_TRUE(WaitFor([&] { return said("checkpoint: wrote") && said("game 5/1000"); }))
      << test::ReadFile(output);
  std::string error;
  EXPECT_TRUE(LoadBook(out, ReadScope::AsABrain, 0, false, error)) << error;
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  const std::string text = test::ReadFile(output);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status << "\n" << text;
  // Pair k meets opponent k mod 2 and opening k / 2, both colours.
  for (const char* line : {"game 3/1000, opening 1, pbrain-quorvex: ", "games 1-4: ",
                           "game 6/1000, opening 2, scripted_brain: abandoned"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
  EXPECT_FALSE(Runs(slow)) << "the opponent outlived the run";
  // The engine, black in game 1, is given the opening and white's reply as a
  // manager gives them; the log holds the five games finished.
  const std::string lines = test::ReadFile(log);
  EXPECT_NE(lines.find("BOARD\r\n10,10,1\r\n11,11,2\r\n7,12,1\r\n"), std::string::npos);
  EXPECT_EQ(match::test::CountLines(lines, "START 20\r"), 5);
  // A brain whose file gives it the stamp 71000, given those lines, holds
  // OUT's rows after one of its own that no game meets.
  const quorvex::test::Bytes marker =
      quorvex::test::EncodeRecords({{1, 2, 11, 11, 1, 1, 1, 70999}});
  const std::string brain = test::CopyBrain(brainDir, std::string(marker.begin(), marker.end()));
  const std::string dump = brainDir.File("dump.bin");
  test::RunBrainOn(brain, lines, "QUORVEX_SEED=21 QUORVEX_STORE_DUMP=" + dump);
  EXPECT_TRUE(test::ReadFile(out) == test::ReadFile(dump).substr(marker.size()));
  // Going on from OUT, the run stamps above its rows, as a brain loading it.
  const auto resumed = test::RunBook("train " + dir.File("more.bin") + " --touch 71000 --base " +
                                     out + " --opponent " + test::CopyBrain(opponentDir));
  EXPECT_NE(resumed.output.find("run stamp 71001 (not 71000"), std::string::npos) << resumed.output;

  // 2. SIGKILL while a checkpoint of a large store is being written: OUT
  //    is the last whole checkpoint, or none yet.
  std::vector<ExperienceRecord> rows;
  for (int64_t i = 1; i <= 100000; ++i) rows.push_back({i, 7, 11, 12, 1, 1, 1 + i % 9, 1});
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
  const auto whole = LoadBook(killed, ReadScope::AsABrain, 0, false, error);
  ASSERT_TRUE(whole) << error;
  EXPECT_GT(whole->contents.records, static_cast<int64_t>(rows.size()));
}

// Trains from the openings (with `touch`), lets a fresh brain with the file
// play the same games through quorvex-match, a process each game, and
// counts its stones past stone 9 that met a stored winning continuation
// (the file's best row there, by the brain's rule, has more wins than
// losses), and how many of those it played.
std::pair<int, int> StoredWinsMetAndPlayed(const std::string& opponent, const std::string& touch) {
  ScratchDir dir;
  const std::string book = dir.File("book.bin");
  const std::string games =
      std::string(" --openings ") + BALANCED_OPENINGS_PATH + " --games 24 --turn-ms 60000 ";
  const auto trained = test::RunBook("train " + book + games + "--seed 9 --opponent " + opponent +
                                     touch);
  EXPECT_EQ(trained.exitCode, 0) << trained.output;
  EXPECT_NE(test::RunBook("stats " + book).output.find(
                std::string("rows past stone 9 are ") + (touch.empty() ? "not " : "") +
                "kept by a brain loading this file"),
            std::string::npos);
  const std::string brain = test::CopyBrain(dir, test::ReadFile(book));
  const auto match = test::RunProgram(std::string(QUORVEX_MATCH_PATH) + " -q --out " +
                                      dir.File("games") + games + brain + " " + opponent);
  EXPECT_EQ(match.exitCode, 0) << match.output;

  // The lookup's choice: the first row of the highest score, wins over losses.
  const auto score = [](const ExperienceRecord& r) {
    if (r.wins > 20000) return static_cast<double>(r.wins);
    if (r.losses > 20000) return 0.0;
    return static_cast<double>(std::max<int64_t>(r.wins, 1)) / std::max<int64_t>(r.losses, 1);
  };
  std::string error;
  const auto loaded = LoadBook(book, ReadScope::AsABrain, 0, false, error);
  EXPECT_TRUE(loaded) << error;
  if (!loaded) return {};
  std::map<int64_t, ExperienceRecord> best;
  for (const ExperienceRecord& r : StoreRows(*loaded->engine)) {
    auto [at, added] = best.emplace(r.prevCrc, r);
    if (!added && score(r) > score(at->second)) at->second = r;
  }

  int met = 0, played = 0;
  for (int game = 1; game <= 24; ++game) {
    char name[32];
    std::snprintf(name, sizeof name, "games/game-%03d.psq", game);
    const auto record = match::LoadGameRecord(dir.File(name), error);
    EXPECT_TRUE(record) << error;
    if (!record) continue;
    // The brain is player 1, black in odd games as the engine was in training.
    const match::Stone brainColour = game % 2 == 1 ? match::Stone::Black : match::Stone::White;
    const match::Point first = record->moves[0].point;
    MoveBuffer buffer{};
    int64_t key = 0;
    for (std::size_t i = 0; i < record->moves.size(); ++i) {
      const int64_t before = key;
      const match::Point p = record->moves[i].point;
      buffer[i + 1] = MakeMoveEntry(p.x - first.x + 11, p.y - first.y + 11);
      key = ComputePositionKey(buffer);
      const auto stored = best.find(before);
      if (i < 9 || record->moves[i].colour != brainColour || stored == best.end() ||
          stored->second.wins <= stored->second.losses) {
        continue;
      }
      ++met;
      played += stored->second.crc == key;
    }
  }
  return {met, played};
}

TEST(BookLasting, AFreshBrainPlaysTheStoredWinningLinesPastStoneNineOnlyFromATouchedFile) {
  ScratchDir opponentDir;
  const std::string opponent = test::CopyBrain(opponentDir);
  test::ScopedEnv seed("QUORVEX_SEED", "5");  // for the opponent and the fresh brains alike

  const auto [met, played] = StoredWinsMetAndPlayed(opponent, " --touch 71000");
  EXPECT_GT(met, 100);
  EXPECT_EQ(played, met);
  EXPECT_EQ(StoredWinsMetAndPlayed(opponent, "").first, 0);
}

}  // namespace
}  // namespace quorvex::book

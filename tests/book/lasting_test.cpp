// Experience that lasts: a file trained with --touch 71000 from openings
// keeps whole games, and a fresh brain process loading it, given the same
// openings by a manager against the same deterministic opponent, plays the
// stored winning continuation past stone 9; the same training without
// --touch leaves it none to play.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <tuple>

#include "book/position_key.h"
#include "tests/book/book_test_support.h"
#include "tools/book/experience_input.h"
#include "tools/match/game_record_reader.h"

namespace quorvex::book {
namespace {

using test::ScratchDir;
using Move = std::tuple<int64_t, int64_t, int64_t>;  // key after the stone, X, Y

// The stones of a record as the brain keys them: stone 1 moved to (11, 11).
std::vector<Move> KeyedStones(const std::vector<match::PlayedMove>& moves) {
  MoveBuffer buffer{};
  std::vector<Move> keyed;
  for (std::size_t i = 0; i < moves.size() && i + 1 < KeyedBytes / 2; ++i) {
    const int32_t x = moves[i].point.x - moves[0].point.x + 11;
    const int32_t y = moves[i].point.y - moves[0].point.y + 11;
    buffer[i + 1] = MakeMoveEntry(x, y);
    keyed.emplace_back(ComputePositionKey(buffer), x, y);
  }
  return keyed;
}

// The file's choice at each position it has moves for, by the brain's rule
// (the first row of the highest score, wins over losses), when that row
// has more wins than losses: the stored winning continuation. The brain
// plays such a row without searching, its score being at least 1.
std::map<int64_t, Move> StoredWinningMoves(const std::vector<ExperienceRecord>& rows) {
  const auto score = [](int64_t wins, int64_t losses) {
    if (wins > 20000) return static_cast<double>(wins);
    if (losses > 20000) return 0.0;
    return static_cast<double>(std::max<int64_t>(wins, 1)) / std::max<int64_t>(losses, 1);
  };
  std::map<int64_t, const ExperienceRecord*> best;
  for (const ExperienceRecord& r : rows) {
    auto [at, added] = best.emplace(r.prevCrc, &r);
    if (!added && score(r.wins, r.losses) > score(at->second->wins, at->second->losses)) {
      at->second = &r;
    }
  }
  std::map<int64_t, Move> winning;
  for (const auto& [position, r] : best) {
    if (r->wins > r->losses) winning[position] = {r->crc, r->x, r->y};
  }
  return winning;
}

struct Replay {
  int32_t stonesPastNine = 0;  // the fresh brain's stones past stone 9
  int32_t stored = 0;          // ... where the file held a winning continuation
  int32_t playedStored = 0;    // ... and it was played
};

// Trains from the openings against `opponent`, then lets a fresh brain with
// the file play the same games through quorvex-match, one process a game,
// and compares its stones past stone 9 with the file's winning lines.
Replay TrainAndReplay(const std::string& opponent, const std::string& touch) {
  ScratchDir dir;
  const std::string book = dir.File("book.bin");
  const std::string common = std::string(" --openings ") + BALANCED_OPENINGS_PATH +
                             " --games 24 --turn-ms 60000";
  const auto trained =
      test::RunBook("train " + book + " --opponent " + opponent + common + " --seed 9" + touch);
  EXPECT_EQ(trained.exitCode, 0) << trained.output;
  const std::string brain = test::CopyBrain(dir, test::ReadFile(book));
  const auto played = test::RunProgram(std::string(QUORVEX_MATCH_PATH) + " -q" + common +
                                       " --out " + dir.File("games") + " " + brain + " " +
                                       opponent);
  EXPECT_EQ(played.exitCode, 0) << played.output;

  std::string error;
  const auto loaded = LoadBook(book, 0, false, error);
  EXPECT_TRUE(loaded) << error;
  if (!loaded) return {};
  const std::map<int64_t, Move> winning = StoredWinningMoves(loaded->contents.records);
  Replay replay;
  for (int game = 1; game <= 24; ++game) {
    char name[32];
    std::snprintf(name, sizeof name, "games/game-%03d.psq", game);
    const auto record = match::LoadGameRecord(dir.File(name), error);
    EXPECT_TRUE(record) << error;
    if (!record) continue;
    // The brain is player 1: black in odd games, as the engine in training.
    const match::Stone colour = game % 2 == 1 ? match::Stone::Black : match::Stone::White;
    const std::vector<Move> keyed = KeyedStones(record->moves);
    for (std::size_t i = 9; i < keyed.size(); ++i) {
      if (record->moves[i].colour != colour) continue;
      ++replay.stonesPastNine;
      const auto stored = winning.find(std::get<0>(keyed[i - 1]));
      if (stored == winning.end()) continue;
      ++replay.stored;
      replay.playedStored += stored->second == keyed[i] ? 1 : 0;
    }
  }
  return replay;
}

TEST(BookLasting, AFreshBrainPlaysTheStoredWinningLinesPastStoneNineOnlyFromATouchedFile) {
  ScratchDir opponentDir;
  const std::string opponent = test::CopyBrain(opponentDir);
  // The opponent, and the fresh brains, draw the same numbers in every game.
  test::ScopedEnv seed("QUORVEX_SEED", "5");

  const Replay lasting = TrainAndReplay(opponent, " --touch 71000");
  EXPECT_GT(lasting.stored, lasting.stonesPastNine / 4) << lasting.stonesPastNine;
  EXPECT_EQ(lasting.playedStored, lasting.stored);

  const Replay plain = TrainAndReplay(opponent, "");
  EXPECT_GT(plain.stonesPastNine, 0);
  EXPECT_EQ(plain.stored, 0);
}

}  // namespace
}  // namespace quorvex::book

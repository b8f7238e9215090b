// A game taken out of the store again, as a stopped run takes out the game
// it abandons: its rows, the counts its learning changed, and the rows its
// learning deleted.

#include "tools/book/game_undo.h"

#include <gtest/gtest.h>

#include "book/statement.h"
#include "game/position_key.h"
#include "tests/book/book_test_support.h"
#include "tests/experience_test_support.h"
#include "tools/book/experience_input.h"

namespace quorvex::book {
namespace {

using test::ScratchDir;

// A stopped game is taken out of the store exactly: its rows, the counts
// its learning changed, and the rows its learning deleted.
TEST(BookShards, AGameTakenBackLeavesTheStoreAsItWas) {
  ScratchDir dir;
  // Rows of earlier games: one past stone 9 stamped low (learning deletes
  // it), a seeded win that has lost twice (learning resets it).
  const quorvex::test::Bytes rows = quorvex::test::EncodeRecords(
      {{11, 1, 11, 11, 2, 1, 1, 5}, {12, 1, 12, 12, 4000, 2, 2, 5}, {13, 1, 13, 13, 1, 1, 10, 5}});
  quorvex::test::WriteBytes(dir.File("base.bin"), rows);
  std::string error;
  auto book = LoadBook(dir.File("base.bin"), ReadScope::WholeFile, 0, false, error);
  ASSERT_TRUE(book) << error;
  Engine& engine = *book->engine;
  const auto snapshot = [&] {
    std::vector<std::vector<int64_t>> table;
    Statement all(engine.store().Db(), "select rowid, * from Openings order by rowid");
    while (all.Step()) {
      table.emplace_back();
      for (int column = 0; column < 9; ++column) table.back().push_back(all.Int64(column));
    }
    return table;
  };
  const auto before = snapshot();
  GameUndo undo(engine.store().Db());
  for (int round = 0; round < 2; ++round) {
    undo.Begin();
    // A game of three stones, the first the known row's, learned from.
    MoveBuffer moves{};
    KeyHistory keys{};
    for (int i = 1; i <= 3; ++i) {
      moves[static_cast<std::size_t>(i)] = MakeMoveEntry(10 + i, 10 + i);
      keys[static_cast<std::size_t>(i)] = i == 1 ? 11 : ComputePositionKey(moves);
      if (i > 1)
        engine.store().RecordMove(keys[static_cast<std::size_t>(i)], 1, 10 + i, 10 + i, i, 1, 1);
    }
    engine.store().LearnFromGame(1, 1, 3, keys, moves);
    const auto changed = snapshot();
    ASSERT_EQ(changed.size(), before.size() + 1);  // one deleted, two recorded
    EXPECT_EQ(changed[0][5], 3);                   // the first stone's win
    EXPECT_EQ(changed[1][5], 1);                   // the seeded win reset
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(snapshot(), before) << "round " << round;
  }
}

}  // namespace
}  // namespace quorvex::book

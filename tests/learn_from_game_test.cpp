// Learning from a decided game.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "book/experience_file.h"
#include "book/experience_store.h"
#include "book/statement.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

struct Counts {
  int64_t wins, losses, touch;
  bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& c) {
  return out << c.wins << "/" << c.losses << " touch " << c.touch;
}

class LearnTest : public ::testing::Test {
 protected:
  // An experience file holding one row stamped `highestTouch`, so that
  // RunTouch is one above it; the row is then removed.
  void LoadWithRunTouch(int64_t highestTouch) {
    uint8_t bytes[ExperienceRecordBytes];
    EncodeExperienceRecord({1, 1, 1, 1, 1, 1, 1, highestTouch}, bytes);
    std::ofstream(dir.File("Experience.bin"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes), sizeof bytes);
    store.LoadExperience(dir.File("Experience.bin"));
    ASSERT_TRUE(store.Db().Execute("delete from Openings"));
  }
  void SetUp() override { LoadWithRunTouch(99); }

  // A game of `stones` stones, stone i at key 1000 + i and point (i, 2i),
  // each recorded as play does.
  void PlayGame(int32_t stones, int32_t moveNoBase = 0) {
    moveCount = stones;
    for (int32_t i = 1; i <= stones; ++i) {
      keys[i] = 1000 + i;
      moves[i] = MakeMoveEntry(i, 2 * i);
      store.RecordMove(keys[i], keys[i - 1], i, 2 * i, moveNoBase + i, 1, 1);
    }
  }

  void Put(int64_t crc, int64_t wins, int64_t losses, int64_t moveNo, int64_t touch) {
    ASSERT_TRUE(store.Db().Execute("insert into Openings values(" + std::to_string(crc) +
                                   ",0,0,0," + std::to_string(wins) + "," + std::to_string(losses) +
                                   "," + std::to_string(moveNo) + "," + std::to_string(touch) +
                                   ")"));
  }

  // The counts of the row with key `crc`, or -1s if it is gone.
  Counts Of(int64_t crc) {
    Statement row(store.Db(), "select * from Openings where CRC = " + std::to_string(crc));
    if (!row.Step()) return {-1, -1, -1};
    return {row.Int64("WINS"), row.Int64("LOSSES"), row.Int64("Touch")};
  }

  int64_t RowCount() {
    Statement count(store.Db(), "select count(*) as n from Openings");
    count.Step();
    return count.Int64("n");
  }

  test::TempDir dir;
  ExperienceStore store;
  KeyHistory keys{};
  MoveBuffer moves{};
  int32_t moveCount = 0;
};

TEST_F(LearnTest, CreditsTheWinnersStonesAndDebitsTheLosers) {
  struct Case {
    const char* name;
    int32_t gameResultFlag, engineMovedFirst;
    bool firstMoverWon;
  };
  const Case cases[] = {
      {"engine moved first and won", 1, 1, true},
      {"engine moved first and lost", 0, 1, false},
      {"opponent moved first, engine won", 1, 0, false},
      {"opponent moved first and won", 0, 0, true},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(store.Db().Execute("delete from Openings"));
    PlayGame(5);
    ASSERT_TRUE(store.Db().Execute("update Openings set Touch = 7"));
    Put(999, 1, 1, 3, 7);  // a row of another game
    store.LearnFromGame(c.gameResultFlag, c.engineMovedFirst, moveCount, keys, moves);
    const Counts won{2, 1, 100};
    const Counts lost{1, 2, 100};
    for (int32_t i = 1; i <= 5; ++i) {
      const bool firstMovers = i % 2 == 1;
      EXPECT_EQ(Of(1000 + i), firstMovers == c.firstMoverWon ? won : lost)
          << c.name << ", stone " << i;
    }
    EXPECT_EQ(Of(999), (Counts{1, 1, 7})) << c.name;
  }
}

TEST_F(LearnTest, MatchesRowsByKeyAndPointOnly) {
  PlayGame(2);
  // Same key, another point: untouched. Same key and point with another
  // PrevCRC: a move of its own, credited too.
  ASSERT_TRUE(store.Db().Execute("insert into Openings values(1001,555,1,3,1,1,1,7)"));
  ASSERT_TRUE(store.Db().Execute("insert into Openings values(1001,555,1,2,1,1,1,7)"));
  store.LearnFromGame(1, 1, moveCount, keys, moves);
  Statement rows(store.Db(), "select * from Openings where CRC = 1001 order by rowid");
  std::vector<std::string> seen;
  while (rows.Step()) {
    seen.push_back(std::to_string(rows.Int("Y")) + ":" + std::to_string(rows.Int("WINS")) + "/" +
                   std::to_string(rows.Int("LOSSES")));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"2:2/1", "3:1/1", "2:2/1"}));
}

TEST_F(LearnTest, RunsTheCreditAsOneTextThenTheTableRules) {
  LoadWithRunTouch(4);  // RunTouch 5
  keys[1] = 42;
  moves[1] = MakeMoveEntry(11, 11);
  keys[2] = -3470484881051396544;
  moves[2] = MakeMoveEntry(-8, 30);
  std::vector<std::string> texts;
  store.Db().SetStatementHook([&](std::string_view text) { texts.emplace_back(text); });
  const std::vector<std::string> tableRules = {
      "update openings set WINS = 1 where Wins > 3000 And losses > 1",
      "update openings set wins = losses + 3 where wins > losses + 3",
      "update openings set losses = wins + 3 where losses > wins + 3",
      "delete from openings where touch < 71000 and MoveNo > 9 ",
  };

  store.LearnFromGame(1, 1, 2, keys, moves);  // the first mover won
  std::vector<std::string> expected = {
      "BEGIN TRANSACTION;"
      "update openings set touch = 5, WINS = wins + 1 where CRC = 42 And x = 11  And y = 11 ;"
      "update openings set touch = 5, LOSSES = LOSSES + 1 where CRC = -3470484881051396544 And x "
      "= -8  And y = 30 ;"
      "commit;"};
  expected.insert(expected.end(), tableRules.begin(), tableRules.end());
  EXPECT_EQ(texts, expected);

  texts.clear();
  store.LearnFromGame(1, 0, 2, keys, moves);  // the second mover won
  expected = {
      "BEGIN TRANSACTION;"
      "update openings set touch = 5, LOSSES = LOSSES + 1 where CRC = 42 And x = 11  And y = 11 ; "
      "update openings set touch = 5, WINS = WINS + 1 where CRC = -3470484881051396544 And x = -8 "
      " And y = 30 ;"
      "commit;"};
  expected.insert(expected.end(), tableRules.begin(), tableRules.end());
  EXPECT_EQ(texts, expected);

  texts.clear();
  store.LearnFromGame(0, 0, 0, keys, moves);  // no stone: an empty transaction
  expected = {"BEGIN TRANSACTION;commit;"};
  expected.insert(expected.end(), tableRules.begin(), tableRules.end());
  EXPECT_EQ(texts, expected);
}

TEST_F(LearnTest, TheTableRulesCapTheCountsInOrder) {
  struct Case {
    int64_t wins, losses, endWins, endLosses;
  };
  const Case cases[] = {
      {10000, 1, 4, 1},  // capped, not reset: only one loss
      {10000, 2, 1, 2},  // reset before the cap
      {1, 300, 1, 4},   {3001, 2, 1, 2}, {3000, 2, 5, 2},      {3001, 1, 4, 1}, {5, 2, 5, 2},
      {6, 2, 5, 2},     {2, 6, 2, 5},    {-10, -20, -17, -20}, {1, 1, 1, 1},
  };
  int64_t key = 1;
  for (const Case& c : cases) Put(++key, c.wins, c.losses, 9, 5);
  store.LearnFromGame(1, 1, 0, keys, moves);
  key = 1;
  for (const Case& c : cases) {
    EXPECT_EQ(Of(++key), (Counts{c.endWins, c.endLosses, 5})) << c.wins << "/" << c.losses;
  }
}

TEST_F(LearnTest, ThreatSearchRowsEndWithinThreeOfEachOther) {
  // As recorded from the search's verdicts (scaled by the recording), then
  // credited once.
  store.RecordMove(1001, 0, 1, 2, 1, 100000, 1);
  store.RecordMove(1002, 1001, 2, 4, 2, 1, 3000);
  PlayGame(0);
  keys[1] = 1001;
  moves[1] = MakeMoveEntry(1, 2);
  keys[2] = 1002;
  moves[2] = MakeMoveEntry(2, 4);
  store.LearnFromGame(1, 1, 2, keys, moves);
  EXPECT_EQ(Of(1001), (Counts{4, 1, 100}));  // 10001/1 capped
  EXPECT_EQ(Of(1002), (Counts{1, 4, 100}));  // 1/3001 capped
}

TEST_F(LearnTest, TrimsOldRowsBeyondTheNinthStone) {
  struct Case {
    const char* name;
    int64_t highestTouch;
    bool currentGameSurvives;
  };
  const Case cases[] = {
      {"RunTouch 100", 99, false},
      {"RunTouch 71000", 70999, true},
  };
  for (const Case& c : cases) {
    LoadWithRunTouch(c.highestTouch);
    PlayGame(11);             // stones numbered 1..11
    Put(1, 1, 1, 10, 500);    // old, beyond the ninth stone
    Put(2, 1, 1, 9, 500);     // old, the ninth stone
    Put(3, 1, 1, 10, 71000);  // recent
    Put(4, 1, 1, 10, 70999);
    store.LearnFromGame(1, 1, 0, keys, moves);  // credits nothing, trims
    EXPECT_EQ(Of(1).wins, -1) << c.name;
    EXPECT_EQ(Of(2).wins, 1) << c.name;
    EXPECT_EQ(Of(3).wins, 1) << c.name;
    EXPECT_EQ(Of(4).wins, -1) << c.name;
    EXPECT_EQ(Of(1009).wins, 1) << c.name;
    EXPECT_EQ(Of(1010).wins, c.currentGameSurvives ? 1 : -1) << c.name;
    EXPECT_EQ(Of(1011).wins, c.currentGameSurvives ? 1 : -1) << c.name;
  }
}

TEST_F(LearnTest, LearningTwiceCountsTwice) {
  PlayGame(2);
  store.LearnFromGame(1, 1, moveCount, keys, moves);
  store.LearnFromGame(1, 1, moveCount, keys, moves);
  EXPECT_EQ(Of(1001), (Counts{3, 1, 100}));
  EXPECT_EQ(Of(1002), (Counts{1, 3, 100}));
}

TEST_F(LearnTest, UnfilledEntriesAndStonesBeyondTheBufferChangeNothing) {
  PlayGame(3);
  keys[4] = 0;  // the engine's own stone, still being chosen
  moves[4] = MoveEntry{};
  store.LearnFromGame(1, 1, 4, keys, moves);
  EXPECT_EQ(Of(1003), (Counts{2, 1, 100}));
  EXPECT_EQ(RowCount(), 3);
  // A count past the end of the buffer is cut to its last entry.
  store.LearnFromGame(1, 1, 5000, keys, moves);
  EXPECT_EQ(Of(1003), (Counts{3, 1, 100}));
}

TEST_F(LearnTest, AFailedCreditIsRolledBackAndDoesNotBlockTheNextOne) {
  PlayGame(3);
  Put(7, 10000, 1, 3, 5);
  // Crediting stone 3 fails; stone 1's update ran before it in the same
  // transaction.
  ASSERT_TRUE(
      store.Db().Execute("CREATE TRIGGER Refuse BEFORE UPDATE ON Openings WHEN OLD.CRC = 1003 "
                         "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
  store.LearnFromGame(1, 1, moveCount, keys, moves);
  EXPECT_FALSE(store.Db().InTransaction());
  EXPECT_EQ(Of(1001), (Counts{1, 1, 100}));  // rolled back
  EXPECT_EQ(Of(1002), (Counts{1, 1, 100}));  // never ran
  EXPECT_EQ(Of(7), (Counts{4, 1, 5}));       // the table rules still ran

  ASSERT_TRUE(store.Db().Execute("DROP TRIGGER Refuse"));
  store.LearnFromGame(1, 1, moveCount, keys, moves);
  EXPECT_EQ(Of(1001), (Counts{2, 1, 100}));
  EXPECT_EQ(Of(1002), (Counts{1, 2, 100}));
  EXPECT_EQ(Of(1003), (Counts{2, 1, 100}));
}

TEST(ExperienceStore, NeverLoadedItIsAnEmptyBookThatKeepsNothing) {
  ExperienceStore none;
  KeyHistory keys{};
  MoveBuffer moves{};
  keys[1] = 42;
  moves[1] = MakeMoveEntry(11, 11);
  none.RecordMove(42, 7, 11, 11, 1, 1, 1);
  none.LearnFromGame(1, 1, 1, keys, moves);
  MoveRecord result;
  result.score = 3;
  EXPECT_EQ(none.LookupOpening(7, result), 0);
  EXPECT_EQ(result.score, 3);
  EXPECT_EQ(none.RunTouch(), 0);
}

}  // namespace
}  // namespace quorvex

// Recording moves in the store.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "book/experience_file.h"
#include "book/experience_store.h"
#include "book/statement.h"
#include "tests/experience_test_support.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

class RecordTest : public ::testing::Test {
 protected:
  // A file whose rows are `records`, so RunTouch is known.
  void Load(const std::vector<ExperienceRecord>& records) {
    test::WriteBytes(dir.File("Experience.bin"), test::EncodeRecords(records));
    store.LoadExperience(dir.File("Experience.bin"));
  }
  void SetUp() override { Load({}); }

  std::vector<ExperienceRecord> Rows() { return test::TableRows(store.Db()); }

  test::TempDir dir;
  ExperienceStore store;
};

TEST_F(RecordTest, ChecksPresenceThenInsertsWithTheExactTexts) {
  Load({{1, 1, 1, 1, 1, 1, 1, 4}});  // RunTouch 5
  std::vector<std::string> texts;
  store.Db().SetStatementHook([&](std::string_view text) { texts.emplace_back(text); });
  store.RecordMove(42, -7, 11, 12, 3, 1, 1);
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "select * from Openings where CRC = 42 and X = 11  and Y = 12",
                       "Insert into Openings(CRC,PrevCRC,X,Y,WINS,LOSSES, MoveNo, Touch) "
                       "values(42,-7,11,12,1,1, 3,5)"}));
  EXPECT_EQ(Rows().back(), (ExperienceRecord{42, -7, 11, 12, 1, 1, 3, 5}));

  texts.clear();
  store.RecordMove(42, -7, 11, 12, 3, 1, 1);
  EXPECT_EQ(
      texts,
      (std::vector<std::string>{"select * from Openings where CRC = 42 and X = 11  and Y = 12"}));
}

TEST_F(RecordTest, APresentMoveKeepsItsCountsAndStamp) {
  Load({{1, 1, 1, 1, 1, 1, 1, 6}});  // RunTouch 7
  ASSERT_TRUE(store.Db().Execute("delete from Openings"));
  store.RecordMove(-3470484881051396544, 7729052115359535890, 11, 11, 1, 300, 2);
  ASSERT_TRUE(store.Db().Execute("update Openings set Touch = 3"));
  struct Case {
    const char* name;
    int64_t prevKey;
    int32_t moveNo, wins, losses;
  };
  const Case again[] = {
      {"the same move", 7729052115359535890, 1, 300, 2},
      {"other counts", 7729052115359535890, 1, 1, 1},
      {"another previous key and number", 99, 5, 1, 1},
  };
  for (const Case& c : again) {
    store.RecordMove(-3470484881051396544, c.prevKey, 11, 11, c.moveNo, c.wins, c.losses);
    EXPECT_EQ(Rows(), (std::vector<ExperienceRecord>{
                          {-3470484881051396544, 7729052115359535890, 11, 11, 300, 2, 1, 3}}))
        << c.name;
  }
  // Another point or another key is another move.
  store.RecordMove(-3470484881051396544, 1, 11, 12, 2, 1, 1);
  store.RecordMove(-3470484881051396543, 1, 11, 11, 2, 1, 1);
  EXPECT_EQ(Rows().size(), 3u);
}

TEST_F(RecordTest, SetRunTouchStampsOnlyTheRowsRecordedAfterIt) {
  store.RecordMove(1, 0, 11, 11, 1, 1, 1);  // RunTouch 1: the file was empty
  store.SetRunTouch(71000);
  store.RecordMove(2, 1, 11, 12, 2, 1, 1);
  const std::vector<ExperienceRecord> expected = {{1, 0, 11, 11, 1, 1, 1, 1},
                                                  {2, 1, 11, 12, 1, 1, 2, 71000}};
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(store.Rows(), expected) << "the store's own reading of its rows";
  EXPECT_EQ(store.RowCount(), 2);
}

TEST_F(RecordTest, ARowFromTheFileBlocksARecording) {
  Load({{42, 8, -8, 30, -1, 17, 12, 900}});
  store.RecordMove(42, -7, -8, 30, 3, 1, 1);
  EXPECT_EQ(Rows(), (std::vector<ExperienceRecord>{{42, 8, -8, 30, -1, 17, 12, 900}}));
}

TEST_F(RecordTest, StoresCountsAboveTenThousandAtATenth) {
  struct Case {
    int32_t wins, losses;
    int64_t storedWins, storedLosses;
  };
  const Case cases[] = {
      {150000, 1, 15000, 1},  {10000, 1, 10000, 1}, {10001, 1, 1000, 1},
      {1, 150000, 1, 15000},  {1, 10000, 1, 10000}, {1, 10001, 1, 1000},
      {46000, 1, 4600, 1},    {1, 45000, 1, 4500},  {10009, 10019, 1000, 1001},
      {-20000, 0, -20000, 0},
  };
  int64_t key = 1;
  for (const Case& c : cases) {
    store.RecordMove(++key, 5, 11, 11, 2, c.wins, c.losses);
    const ExperienceRecord row = Rows().back();
    EXPECT_EQ(row.crc, key);
    EXPECT_EQ(row.wins, c.storedWins) << c.wins << "/" << c.losses;
    EXPECT_EQ(row.losses, c.storedLosses) << c.wins << "/" << c.losses;
  }
}

TEST_F(RecordTest, AKeyWithAZeroLowHalfIsNeverFoundPresent) {
  // Presence is read from the low 32 bits of the CRC found.
  const int64_t keys[] = {int64_t{1} << 32, -(int64_t{5} << 32), 0};
  for (int64_t key : keys) {
    store.RecordMove(key, 1, 11, 11, 2, 1, 1);
    store.RecordMove(key, 1, 11, 11, 2, 1, 1);
  }
  EXPECT_EQ(Rows().size(), 6u);
  // A key with any low bit set is found.
  store.RecordMove((int64_t{1} << 32) + 1, 1, 11, 11, 2, 1, 1);
  store.RecordMove((int64_t{1} << 32) + 1, 1, 11, 11, 2, 1, 1);
  EXPECT_EQ(Rows().size(), 7u);
}

TEST_F(RecordTest, AFailingPresenceQueryStillInsertsAndAFailingInsertIsQuiet) {
  // Without the CRC column the presence query fails: the move counts as
  // absent, and the insert fails too.
  ASSERT_TRUE(store.Db().Execute("drop table Openings; create table Openings (PrevCRC, X, Y)"));
  std::vector<std::string> texts;
  store.Db().SetStatementHook([&](std::string_view text) { texts.emplace_back(text); });
  store.RecordMove(42, -7, 11, 12, 3, 1, 1);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].rfind("Insert into Openings", 0), 0u);
}

TEST_F(RecordTest, RecordedMovesAreFoundByTheLookup) {
  store.RecordMove(100, 50, 11, 11, 1, 1, 1);
  store.RecordMove(101, 50, 12, 11, 1, 46000, 1);  // a forced win from the search
  store.RecordMove(102, 50, 13, 11, 1, 1, 45000);  // a forced loss
  MoveRecord result;
  EXPECT_EQ(store.LookupOpening(50, result), 1);
  EXPECT_EQ(result.x, 12);
  EXPECT_EQ(result.score, 4600);
}

}  // namespace
}  // namespace quorvex

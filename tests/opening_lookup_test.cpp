// The opening lookup: scores, verdicts, and the PrevCRC index that must not
// change what a table scan would find.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "book/experience_store.h"
#include "book/statement.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

struct StoredRow {
  int64_t crc;
  int64_t prevCrc;
  int32_t x;
  int32_t y;
  int32_t wins;
  int32_t losses;
};

// Puts rows in the table as they are: RecordMove would scale large counts.
void Insert(ExperienceStore& store, const StoredRow& row) {
  ASSERT_TRUE(store.Db().Execute("insert into Openings values(" + std::to_string(row.crc) + "," +
                                 std::to_string(row.prevCrc) + "," + std::to_string(row.x) + "," +
                                 std::to_string(row.y) + "," + std::to_string(row.wins) + "," +
                                 std::to_string(row.losses) + ",1,1)"));
}

class LookupTest : public ::testing::Test {
 protected:
  void SetUp() override { store.LoadExperience(dir.File("Experience.bin")); }
  test::TempDir dir;
  ExperienceStore store;
};

constexpr int64_t Position = -3470484881051396544;

TEST_F(LookupTest, ScoresEachMoveFromItsCounts) {
  struct Case {
    const char* name;
    std::vector<StoredRow> rows;  // all made from Position
    int32_t verdict;
    int32_t x, y, score;
  };
  const Case cases[] = {
      {"1 win 1 loss", {{1, Position, 4, 5, 1, 1}}, 1, 4, 5, 1},
      {"0 and 0 read as 1 and 1", {{1, Position, 4, 5, 0, 0}}, 1, 4, 5, 1},
      {"3/5 is exactly 0.6 in single precision", {{1, Position, 4, 5, 3, 5}}, 1, 4, 5, 0},
      {"1/2 is avoided, still reported", {{1, Position, 4, 5, 1, 2}}, 0, 4, 5, 0},
      {"59/100", {{1, Position, 4, 5, 59, 100}}, 0, 4, 5, 0},
      {"20001 wins score the wins", {{1, Position, 4, 5, 20001, 50000}}, 1, 4, 5, 20001},
      {"20000 wins are a quotient", {{1, Position, 4, 5, 20000, 1}}, 1, 4, 5, 20000},
      {"20000 over 3", {{1, Position, 4, 5, 20000, 3}}, 1, 4, 5, 6666},
      // A row scoring 0 ties with the empty candidate; either may be
      // reported, and the empty one, being first, is.
      {"20001 losses score 0", {{1, Position, 4, 5, 5, 20001}}, 0, 0, 0, 0},
      {"0 wins over 20001 losses", {{1, Position, 4, 5, 0, 20001}}, 0, 0, 0, 0},
      {"the better of 1.0 and 3.0",
       {{1, Position, 4, 5, 1, 1}, {2, Position, 6, 7, 3, 1}},
       1,
       6,
       7,
       3},
      {"the better of 3.0 and 1.0",
       {{2, Position, 6, 7, 3, 1}, {1, Position, 4, 5, 1, 1}},
       1,
       6,
       7,
       3},
      {"7/2 truncates to 3", {{1, Position, -8, 30, 7, 2}}, 1, -8, 30, 3},
      {"negative wins lose to the empty candidate", {{1, Position, 4, 5, -5, 1}}, 0, 0, 0, 0},
      {"negative losses too", {{1, Position, 4, 5, 5, -1}}, 0, 0, 0, 0},
      {"a row of another position is not a candidate",
       {{1, Position, 4, 5, 1, 2}, {2, Position + 1, 6, 7, 9, 1}, {Position, 3, 8, 9, 9, 1}},
       0,
       4,
       5,
       0},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(store.Db().Execute("delete from Openings"));
    for (const StoredRow& row : c.rows) Insert(store, row);
    MoveRecord result;
    result.direction = 77;
    EXPECT_EQ(store.LookupOpening(Position, result), c.verdict) << c.name;
    EXPECT_EQ(result.x, c.x) << c.name;
    EXPECT_EQ(result.y, c.y) << c.name;
    EXPECT_EQ(result.score, c.score) << c.name;
    EXPECT_EQ(result.direction, 77) << c.name;  // only x, y and score are written
  }
}

TEST_F(LookupTest, WithoutARowLeavesTheResultUntouched) {
  Insert(store, {Position, 1, 4, 5, 1, 1});  // made from another position
  MoveRecord result;
  result.x = 9;
  result.y = 8;
  result.score = 7;
  EXPECT_EQ(store.LookupOpening(Position, result), 0);
  EXPECT_EQ(result.x, 9);
  EXPECT_EQ(result.y, 8);
  EXPECT_EQ(result.score, 7);
}

TEST_F(LookupTest, AFailingQueryFindsNothing) {
  ASSERT_TRUE(store.Db().Execute("drop table Openings"));
  MoveRecord result;
  result.score = 5;
  EXPECT_EQ(store.LookupOpening(Position, result), 0);
  EXPECT_EQ(result.score, 5);
}

TEST_F(LookupTest, CountsBeyondTheInt32RangeSaturateTheScore) {
  Insert(store, {1, Position, 4, 5, 2147483647, 1});
  MoveRecord result;
  EXPECT_EQ(store.LookupOpening(Position, result), 1);
  EXPECT_EQ(result.score, 2147483647);
}

TEST_F(LookupTest, AsksForThePositionInOneQuery) {
  std::vector<std::string> texts;
  store.Db().SetStatementHook([&](std::string_view text) { texts.emplace_back(text); });
  MoveRecord result;
  store.LookupOpening(Position, result);
  store.LookupOpening(17, result);
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "Select * FROM Openings where PrevCRC = -3470484881051396544 ",
                       "Select * FROM Openings where PrevCRC = 17 "}));
}

// The rowids that a query over PrevCRC returns, in the order returned.
std::vector<int64_t> RowOrder(Database& db, const std::string& from, int64_t key) {
  Statement rows(db, "Select rowid as r FROM " + from + " where PrevCRC = " + std::to_string(key));
  std::vector<int64_t> order;
  while (rows.Step()) order.push_back(rows.Int64("r"));
  return order;
}

std::string QueryPlan(Database& db, int64_t key) {
  Statement plan(
      db, "explain query plan Select * FROM Openings where PrevCRC = " + std::to_string(key) + " ");
  std::string text;
  while (plan.Step()) text += plan.Text("detail") + ";";
  return text;
}

TEST_F(LookupTest, ThePrevKeyIndexFindsTheRowsOfAScanInTheScanOrder) {
  // Many rows sharing few PrevCRC values, interleaved, with rows deleted
  // and added after the index exists, and many ties in score.
  std::mt19937 random(3);
  auto fill = [&](int rows) {
    for (int i = 0; i < rows; ++i) {
      const auto prev = static_cast<int64_t>(random() % 13) - 6;
      Insert(store, {static_cast<int64_t>(random()), prev, static_cast<int32_t>(random() % 20),
                     static_cast<int32_t>(random() % 20), static_cast<int32_t>(random() % 3),
                     static_cast<int32_t>(random() % 3)});
    }
  };
  fill(3000);
  ASSERT_TRUE(store.Db().Execute("delete from Openings where rowid % 7 = 3"));
  fill(1000);

  // The lookup's query uses the index; NOT INDEXED forces the scan.
  EXPECT_NE(QueryPlan(store.Db(), 1).find("USING INDEX SearchPrev"), std::string::npos)
      << QueryPlan(store.Db(), 1);
  std::vector<MoveRecord> indexed;
  std::vector<int32_t> indexedVerdicts;
  for (int64_t key = -7; key <= 7; ++key) {
    EXPECT_EQ(RowOrder(store.Db(), "Openings", key),
              RowOrder(store.Db(), "Openings NOT INDEXED", key))
        << key;
    MoveRecord result;
    indexedVerdicts.push_back(store.LookupOpening(key, result));
    indexed.push_back(result);
  }
  // The same lookups with the index gone, that is by table scan.
  ASSERT_TRUE(store.Db().Execute("drop index SearchPrev"));
  EXPECT_NE(QueryPlan(store.Db(), 1).find("SCAN"), std::string::npos) << QueryPlan(store.Db(), 1);
  for (int64_t key = -7; key <= 7; ++key) {
    MoveRecord result;
    EXPECT_EQ(store.LookupOpening(key, result), indexedVerdicts[static_cast<std::size_t>(key + 7)]);
    const MoveRecord& before = indexed[static_cast<std::size_t>(key + 7)];
    EXPECT_EQ(result.x, before.x) << key;
    EXPECT_EQ(result.y, before.y) << key;
    EXPECT_EQ(result.score, before.score) << key;
  }
}

}  // namespace
}  // namespace quorvex

#include "book/database.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "book/statement.h"
#include "book/transaction.h"

namespace quorvex {
namespace {

int64_t CountRows(Database& db, const std::string& table) {
  Statement count(db, "select count(*) as n from " + table);
  count.Step();
  return count.Int64("n");
}

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db.IsOpen());
    ASSERT_TRUE(db.Execute("create table t (a int, b int)"));
  }
  Database db{":memory:"};
};

TEST_F(DatabaseTest, RunsEveryStatementOfATextInOrder) {
  EXPECT_TRUE(
      db.Execute("insert into t values(1,10);insert into t values(2,20); ; "
                 "update t set b = b + a;"));
  Statement rows(db, "select a, b from t order by rowid");
  std::vector<int32_t> seen;
  while (rows.Step()) seen.push_back(rows.Int("b"));
  EXPECT_EQ(seen, (std::vector<int32_t>{11, 22}));
}

TEST_F(DatabaseTest, StopsAtTheFirstFailingStatementOfAText) {
  struct Case {
    const char* text;
    int64_t rowsAfter;
  };
  const Case cases[] = {
      // A statement that fails to run: the ones before it stay done.
      {"insert into t values(1,1);insert into missing values(1);insert into t values(3,3)", 1},
      // A statement that fails to parse.
      {"insert into t values(1,1);this is not sql;insert into t values(3,3)", 1},
      // The first one fails: nothing runs.
      {"insert into nowhere values(1);insert into t values(3,3)", 0},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(db.Execute("delete from t"));
    EXPECT_FALSE(db.Execute(c.text)) << c.text;
    EXPECT_EQ(CountRows(db, "t"), c.rowsAfter) << c.text;
  }
}

TEST_F(DatabaseTest, FindsColumnsByTheirExactName) {
  ASSERT_TRUE(db.Execute("insert into t values(7, 8)"));
  Statement star(db, "select * from t");
  ASSERT_TRUE(star.Step());
  EXPECT_EQ(star.Int("a"), 7);
  EXPECT_EQ(star.Int("b"), 8);
  EXPECT_EQ(star.ColumnIndex("A"), -1);  // case-sensitive
  EXPECT_EQ(star.Int("A"), 0);
  EXPECT_EQ(star.Int("missing"), 0);

  Statement alias(db, "select max(a) as MaxA from t");
  ASSERT_TRUE(alias.Step());
  EXPECT_EQ(alias.Int("MaxA"), 7);
  EXPECT_EQ(alias.Int("maxa"), 0);
}

TEST_F(DatabaseTest, ReadsNullAndAbsentRowsAsZero) {
  Statement empty(db, "select max(a) as MaxA from t");
  ASSERT_TRUE(empty.Step());
  EXPECT_EQ(empty.Int("MaxA"), 0);
  EXPECT_EQ(empty.Int64("MaxA"), 0);
  EXPECT_FALSE(empty.Step());
  EXPECT_EQ(empty.Int("MaxA"), 0);  // past the last row

  Statement none(db, "select * from t");
  EXPECT_FALSE(none.Step());
  EXPECT_EQ(none.Int64(0), 0);
}

TEST_F(DatabaseTest, ReadsSixtyFourAndThirtyTwoBits) {
  ASSERT_TRUE(db.Execute("insert into t values(-3470484881051396544, 4294967297)"));
  Statement row(db, "select * from t");
  ASSERT_TRUE(row.Step());
  EXPECT_EQ(row.Int64("a"), -3470484881051396544);
  EXPECT_EQ(row.Int64("b"), 4294967297);
  EXPECT_EQ(row.Int("b"), 1);  // the low 32 bits
  EXPECT_EQ(row.Int("a"), static_cast<int32_t>(-3470484881051396544));
}

TEST_F(DatabaseTest, ReadsTextAndEmptyTextForNull) {
  Statement row(db, "select 'Openings' as name, null as absent");
  ASSERT_TRUE(row.Step());
  EXPECT_EQ(row.Text("name"), "Openings");
  EXPECT_EQ(row.Text("absent"), "");
  EXPECT_EQ(row.Text("Name"), "");
}

TEST_F(DatabaseTest, BindsAndRunsAPreparedStatementAgain) {
  Statement insert(db, "insert into t values(?, ?)");
  ASSERT_TRUE(insert.Ok());
  for (int64_t a = 1; a <= 3; ++a) {
    EXPECT_TRUE(insert.Bind(1, a));
    EXPECT_TRUE(insert.Bind(2, -a));
    EXPECT_TRUE(insert.Run());
    insert.Reset();
  }
  Statement sum(db, "select sum(a) as s, sum(b) as m from t");
  ASSERT_TRUE(sum.Step());
  EXPECT_EQ(sum.Int("s"), 6);
  EXPECT_EQ(sum.Int("m"), -6);
}

TEST_F(DatabaseTest, AStatementThatFailsToPrepareReadsNothing) {
  Statement bad(db, "select * from nowhere");
  EXPECT_FALSE(bad.Ok());
  EXPECT_FALSE(bad.Step());
  EXPECT_FALSE(bad.Run());
  EXPECT_FALSE(bad.Bind(1, 1));
  EXPECT_EQ(bad.Int(0), 0);
  EXPECT_EQ(bad.ColumnIndex("a"), -1);
}

TEST(Database, WithoutAConnectionEverythingFailsQuietly) {
  Database closed;
  EXPECT_FALSE(closed.IsOpen());
  EXPECT_FALSE(closed.Execute("create table t (a int)"));
  EXPECT_FALSE(closed.InTransaction());
  Statement query(closed, "select 1 as one");
  EXPECT_FALSE(query.Ok());
  EXPECT_FALSE(query.Step());
  Transaction transaction(closed);
  EXPECT_FALSE(transaction.Active());
  EXPECT_FALSE(transaction.Commit());
  EXPECT_FALSE(ExecuteTransactionText(closed, "BEGIN TRANSACTION;commit;"));
}

TEST(Database, AStatementMayOutliveItsDatabaseObject) {
  // The sanitizer build checks that nothing dangles or leaks here.
  auto db = std::make_unique<Database>(":memory:");
  ASSERT_TRUE(db->Execute("create table t (a int); insert into t values(5)"));
  Statement row(*db, "select a from t");
  db.reset();
  EXPECT_TRUE(row.Step());
  EXPECT_EQ(row.Int("a"), 5);
}

TEST(Database, ReopeningStartsAfreshAndKeepsTheHook) {
  Database db(":memory:");
  std::vector<std::string> seen;
  db.SetStatementHook([&](std::string_view text) { seen.emplace_back(text); });
  ASSERT_TRUE(db.Execute("create table t (a int)"));
  ASSERT_TRUE(db.Open(":memory:"));
  EXPECT_TRUE(db.Execute("create table t (a int)"));  // the old table is gone
  Statement query(db, "select * from t");
  EXPECT_EQ(seen, (std::vector<std::string>{"create table t (a int)", "create table t (a int)",
                                            "select * from t"}));
}

TEST(Database, MovingHandsTheConnectionOver) {
  Database first(":memory:");
  ASSERT_TRUE(first.Execute("create table t (a int); insert into t values(1)"));
  Database second = std::move(first);
  EXPECT_EQ(CountRows(second, "t"), 1);
  Database third;
  third = std::move(second);
  EXPECT_EQ(CountRows(third, "t"), 1);
}

TEST_F(DatabaseTest, ATransactionRollsBackUnlessCommitted) {
  {
    Transaction transaction(db);
    ASSERT_TRUE(transaction.Active());
    ASSERT_TRUE(db.InTransaction());
    ASSERT_TRUE(db.Execute("insert into t values(1,1)"));
  }
  EXPECT_FALSE(db.InTransaction());
  EXPECT_EQ(CountRows(db, "t"), 0);
  {
    Transaction transaction(db);
    ASSERT_TRUE(db.Execute("insert into t values(1,1)"));
    EXPECT_TRUE(transaction.Commit());
  }
  EXPECT_EQ(CountRows(db, "t"), 1);
}

TEST_F(DatabaseTest, ATransactionTextThatFailsPartWayIsRolledBack) {
  EXPECT_FALSE(ExecuteTransactionText(
      db, "BEGIN TRANSACTION;insert into t values(1,1);insert into nowhere values(1);commit;"));
  EXPECT_FALSE(db.InTransaction());
  EXPECT_EQ(CountRows(db, "t"), 0);
  // So the next one can begin its own.
  EXPECT_TRUE(ExecuteTransactionText(db, "BEGIN TRANSACTION;insert into t values(2,2);commit;"));
  EXPECT_EQ(CountRows(db, "t"), 1);
}

TEST_F(DatabaseTest, ATransactionTextLeavesAnOuterTransactionAlone) {
  ASSERT_TRUE(db.Execute("BEGIN TRANSACTION; insert into t values(1,1)"));
  EXPECT_FALSE(ExecuteTransactionText(db, "BEGIN TRANSACTION;insert into t values(2,2);commit;"));
  EXPECT_TRUE(db.InTransaction());
  EXPECT_EQ(CountRows(db, "t"), 1);
  EXPECT_TRUE(db.Execute("commit"));
}

}  // namespace
}  // namespace quorvex

// What the experience store needs from SQLite, checked against the library
// each platform links: the system's libsqlite3 on Linux, the vendored
// amalgamation of the same version on Windows.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <string>

namespace quorvex {
namespace {

class MemoryDatabase : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK); }
  void TearDown() override { sqlite3_close(db_); }

  int Exec(const std::string& sql) {
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
  }

  // Column `name` of the first row of `sql`, as a 64-bit integer.
  int64_t QueryInt64(const std::string& sql, const char* name) {
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
    int64_t value = -999;
    if (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW) {
      for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        if (std::strcmp(sqlite3_column_name(statement, i), name) == 0) {
          value = sqlite3_column_int64(statement, i);
        }
      }
    }
    sqlite3_finalize(statement);
    return value;
  }

  sqlite3* db_ = nullptr;
};

constexpr const char* kCreate =
    "CREATE TABLE Openings (CRC int, PrevCRC int, X INT, Y INT, WINS INT, LOSSES INT, MoveNo INT, "
    "Touch INT);";

TEST_F(MemoryDatabase, KeepsSigned64BitKeysAndNamesColumnsAsDeclaredOrAliased) {
  ASSERT_EQ(Exec(kCreate), SQLITE_OK);
  ASSERT_EQ(Exec("Insert into Openings(CRC,PrevCRC,X,Y,WINS,LOSSES, MoveNo, touch) "
                 "values(-3470484881051396544,7729052115359535890,-8,30,-1,1,2,70999)"),
            SQLITE_OK);
  ASSERT_EQ(Exec("CREATE Index Search on Openings (CRC);"), SQLITE_OK);
  EXPECT_EQ(QueryInt64("Select * from Openings where CRC=-3470484881051396544", "PrevCRC"),
            7729052115359535890);
  EXPECT_EQ(QueryInt64("Select * from Openings", "X"), -8);
  EXPECT_EQ(QueryInt64("Select * from Openings", "WINS"), -1);
  EXPECT_EQ(QueryInt64("Select max(touch) as MaxTouch from openings", "MaxTouch"), 70999);
}

TEST_F(MemoryDatabase, ReadsTheMaximumOfAnEmptyTableAsZero) {
  ASSERT_EQ(Exec(kCreate), SQLITE_OK);
  EXPECT_EQ(QueryInt64("Select max(touch) as MaxTouch from openings", "MaxTouch"), 0);
}

TEST_F(MemoryDatabase, StopsAStatementTextAtItsFirstFailure) {
  ASSERT_EQ(Exec(kCreate), SQLITE_OK);
  EXPECT_NE(Exec("Insert into Openings(CRC) values(1);Insert into Nowhere values(2);"
                 "Insert into Openings(CRC) values(3)"),
            SQLITE_OK);
  EXPECT_EQ(QueryInt64("Select count(*) as N from Openings", "N"), 1);
}

TEST_F(MemoryDatabase, RollsBackAnUncommittedTransaction) {
  ASSERT_EQ(Exec(kCreate), SQLITE_OK);
  ASSERT_EQ(Exec("BEGIN;Insert into Openings(CRC) values(1);ROLLBACK;"), SQLITE_OK);
  ASSERT_EQ(Exec("BEGIN;Insert into Openings(CRC) values(2);COMMIT;"), SQLITE_OK);
  EXPECT_EQ(QueryInt64("Select count(*) as N, max(CRC) as M from Openings", "N"), 1);
  EXPECT_EQ(QueryInt64("Select count(*) as N, max(CRC) as M from Openings", "M"), 2);
}

TEST(SqliteLibrary, IsTheVersionItsHeaderDeclares) {
  // A Windows build linked against another amalgamation, or a Linux build
  // whose header and library disagree, would show here.
  EXPECT_STREQ(sqlite3_libversion(), SQLITE_VERSION);
  EXPECT_STREQ(sqlite3_sourceid(), SQLITE_SOURCE_ID);
}

}  // namespace
}  // namespace quorvex

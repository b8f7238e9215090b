// Loading the experience file into the store.

#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "book/experience_file.h"
#include "book/experience_store.h"
#include "book/statement.h"
#include "tests/experience_test_support.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

using test::Bytes;
using test::TableRows;
using test::WriteBytes;

Bytes Encode(const std::vector<ExperienceRecord>& records) { return test::EncodeRecords(records); }

// Rows holding anything but integers (text or real would still compare
// equal in some reads).
int64_t NonIntegerRows(Database& db) {
  Statement count(db,
                  "select count(*) as n from Openings where typeof(CRC)||typeof(PrevCRC)||"
                  "typeof(X)||typeof(Y)||typeof(WINS)||typeof(LOSSES)||typeof(MoveNo)||"
                  "typeof(Touch) <> 'integerintegerintegerintegerintegerintegerintegerinteger'");
  count.Step();
  return count.Int64("n");
}

class LoadTest : public ::testing::Test {
 protected:
  std::string Path() const { return dir.File("Experience.bin"); }
  void Load(const Bytes& bytes) {
    WriteBytes(Path(), bytes);
    store.LoadExperience(Path());
  }
  test::TempDir dir;
  ExperienceStore store;
};

// CRC 5, PrevCRC -7, X 11, Y 12, WINS 3, LOSSES 1, MoveNo 2, Touch 70001,
// written out byte by byte.
const Bytes SampleRecord = {5,    0,    0,    0,    0,    0,    0,    0,     //
                            0xF9, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  //
                            11,   12,   3,    0,    1,    0,    2,    0,     //
                            0x71, 0x11, 0x01, 0x00};

TEST_F(LoadTest, ARecordGivesTheRowOfItsLiteralInsert) {
  Load(SampleRecord);
  // The reference: the table and the row made by literal statements.
  Database reference(":memory:");
  ASSERT_TRUE(reference.Execute(
      "CREATE TABLE Openings (CRC int, PrevCRC int, X INT, Y INT, WINS INT, LOSSES INT, MoveNo "
      "INT, Touch INT);"));
  ASSERT_TRUE(
      reference.Execute("Insert into Openings(CRC,PrevCRC,X,Y,WINS,LOSSES, MoveNo, touch) "
                        "values(5,-7,11,12,3,1,2,70001)"));
  const auto rows = TableRows(store.Db());
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows, TableRows(reference));
  EXPECT_EQ(rows[0], (ExperienceRecord{5, -7, 11, 12, 3, 1, 2, 70001}));
  EXPECT_EQ(NonIntegerRows(store.Db()), 0);
  EXPECT_EQ(store.RunTouch(), 70002);
}

TEST_F(LoadTest, WidensEveryFieldWithItsSign) {
  const Bytes record = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80,  // CRC: INT64_MIN
                        0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // PrevCRC: -2
                        0xF8, 0x80,                                      // X -8, Y -128
                        0xFF, 0xFF,                                      // WINS -1
                        0x00, 0x80,                                      // LOSSES -32768
                        0xFF, 0x7F,                                      // MoveNo 32767
                        0xFF, 0xFF, 0xFF, 0xFF};                         // Touch -1
  Load(record);
  EXPECT_EQ(TableRows(store.Db()),
            (std::vector<ExperienceRecord>{{INT64_MIN, -2, -8, -128, -1, -32768, 32767, -1}}));
  EXPECT_EQ(store.RunTouch(), 0);  // highest Touch -1, plus 1
}

TEST_F(LoadTest, KeepsEveryRecordInFileOrderDuplicatesIncluded) {
  std::vector<ExperienceRecord> records;
  for (int64_t i = 0; i < 7; ++i) {
    records.push_back({i * 1000003 - 3, -i, i, 20 - i, 3 * i, i % 2, i + 1, 60 + i});
  }
  records.push_back(records[2]);  // two identical records give two rows
  records.push_back(records[2]);
  Load(Encode(records));
  EXPECT_EQ(TableRows(store.Db()), records);
}

TEST_F(LoadTest, IgnoresATrailingFragment) {
  const std::vector<ExperienceRecord> records = {{1, 2, 3, 4, 5, 6, 7, 8},
                                                 {9, 10, 11, 12, 13, 14, 15, 16}};
  for (std::size_t extra : {std::size_t{1}, std::size_t{13}, ExperienceRecordBytes - 1}) {
    Bytes bytes = Encode(records);
    bytes.resize(bytes.size() + extra, 0x7F);
    Load(bytes);
    EXPECT_EQ(TableRows(store.Db()), records) << extra << " trailing bytes";
    EXPECT_EQ(store.RunTouch(), 17);
  }
}

TEST_F(LoadTest, SetsRunTouchOneAboveTheHighestTouch) {
  struct Case {
    const char* name;
    std::vector<int64_t> touches;
    int32_t runTouch;
  };
  const Case cases[] = {
      {"empty file", {}, 1},
      {"highest 70999, not last", {5, 70999, 12}, 71000},
      {"one row", {0}, 1},
      {"the largest stamp stays", {5, 2147483647}, 2147483647},
  };
  for (const Case& c : cases) {
    std::vector<ExperienceRecord> records;
    for (int64_t touch : c.touches) records.push_back({1, 1, 1, 1, 1, 1, 1, touch});
    Load(Encode(records));
    EXPECT_EQ(store.RunTouch(), c.runTouch) << c.name;
    EXPECT_EQ(TableRows(store.Db()).size(), c.touches.size()) << c.name;
  }
}

TEST_F(LoadTest, ManyRecordsAcrossReadChunksLoadLikeLiteralInserts) {
  // Enough records to span several reads of the file, with random bytes in
  // every field, checked against one literal insert per record.
  std::mt19937_64 random(7);
  Bytes bytes(10007 * ExperienceRecordBytes + 5);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  Load(bytes);

  Database reference(":memory:");
  ASSERT_TRUE(reference.Execute(
      "CREATE TABLE Openings (CRC int, PrevCRC int, X INT, Y INT, WINS INT, LOSSES INT, MoveNo "
      "INT, Touch INT);"));
  ASSERT_TRUE(reference.Execute("BEGIN TRANSACTION"));
  for (std::size_t at = 0; at + ExperienceRecordBytes <= bytes.size();
       at += ExperienceRecordBytes) {
    const ExperienceRecord r = DecodeExperienceRecord(bytes.data() + at);
    ASSERT_TRUE(reference.Execute(
        "Insert into Openings(CRC,PrevCRC,X,Y,WINS,LOSSES, MoveNo, touch) values(" +
        std::to_string(r.crc) + "," + std::to_string(r.prevCrc) + "," + std::to_string(r.x) + "," +
        std::to_string(r.y) + "," + std::to_string(r.wins) + "," + std::to_string(r.losses) + "," +
        std::to_string(r.moveNo) + "," + std::to_string(r.touch) + ")"));
  }
  ASSERT_TRUE(reference.Execute("commit"));
  const auto rows = TableRows(store.Db());
  EXPECT_EQ(rows.size(), 10007u);
  EXPECT_TRUE(rows == TableRows(reference));
  EXPECT_EQ(NonIntegerRows(store.Db()), 0);
}

TEST_F(LoadTest, RunsTheTableAndIndexStatementsAroundTheRows) {
  std::vector<std::string> texts;
  store.Db().SetStatementHook([&](std::string_view text) { texts.emplace_back(text); });
  Load(SampleRecord);
  // Rows go in 64 at a time, the rest one by one.
  const std::string oneRow = "Insert into Openings(CRC,PrevCRC,X,Y,WINS,LOSSES, MoveNo, touch) values(?,?,?,?,?,?,?,?)";
  std::string manyRows = oneRow;
  for (int i = 1; i < 64; ++i) manyRows += ",(?,?,?,?,?,?,?,?)";
  const std::vector<std::string> expected = {
      "CREATE TABLE Openings (CRC int, PrevCRC int, X INT, Y INT, WINS INT, LOSSES INT, MoveNo "
      "INT, Touch INT);",
      "BEGIN TRANSACTION",
      manyRows,
      oneRow,
      "COMMIT",
      "CREATE Index Search on Openings (CRC);",
      "CREATE Index SearchPrev on Openings (PrevCRC);",
      "Select max(touch) as MaxTouch from openings",
  };
  EXPECT_EQ(texts, expected);
  Statement indexes(store.Db(), "select count(*) as n from sqlite_master where type = 'index'");
  indexes.Step();
  EXPECT_EQ(indexes.Int("n"), 2);
}

TEST_F(LoadTest, LoadingAgainStartsFromAFreshTable) {
  Load(SampleRecord);
  store.RecordMove(77, 5, 1, 1, 3, 1, 1);
  Load(SampleRecord);
  EXPECT_EQ(TableRows(store.Db()).size(), 1u);
}

TEST_F(LoadTest, AMissingFileIsCreatedEmpty) {
  ASSERT_FALSE(std::filesystem::exists(Path()));
  store.LoadExperience(Path());
  EXPECT_TRUE(std::filesystem::exists(Path()));
  EXPECT_EQ(std::filesystem::file_size(Path()), 0u);
  EXPECT_TRUE(TableRows(store.Db()).empty());
  EXPECT_EQ(store.RunTouch(), 1);
}

TEST_F(LoadTest, AFileThatCannotBeReadLeavesAWorkingEmptyBook) {
  const std::string unreadable[] = {
      dir.File("no-such-directory/Experience.bin"),  // cannot be created either
      dir.path(),                                    // a directory, not a file
  };
  for (const std::string& path : unreadable) {
    store.LoadExperience(path);
    EXPECT_TRUE(TableRows(store.Db()).empty()) << path;
    EXPECT_EQ(store.RunTouch(), 1) << path;
    // The book still works for the rest of the run.
    store.RecordMove(42, -7, 11, 12, 3, 1, 1);
    MoveRecord result;
    EXPECT_EQ(store.LookupOpening(-7, result), 1) << path;
    EXPECT_EQ(result.x, 11);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("no-such-directory")));
}

#ifndef _WIN32
// Runs `body` in a child process as the unprivileged user 'nobody' (when
// the tests run as root, root would write anywhere) and returns its exit
// status, or -1 if the child did not exit normally.
template <typename Body>
int RunAsNobody(Body body) {
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
    _exit(body());
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST_F(LoadTest, AReadOnlyFileInAReadOnlyDirectoryStillLoads) {
  const std::vector<ExperienceRecord> records = {{1, 2, 3, 4, 5, 6, 7, 41},
                                                 {8, 9, 10, 11, 12, 13, 14, 15}};
  WriteBytes(Path(), Encode(records));
  ASSERT_EQ(chmod(Path().c_str(), 0444), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
  const int loaded = RunAsNobody([&] {
    // The store must not even try to open the file for writing.
    if (access(Path().c_str(), W_OK) == 0) return 101;
    ExperienceStore readOnly;
    readOnly.LoadExperience(Path());
    if (readOnly.RunTouch() != 42) return 102;
    return static_cast<int>(TableRows(readOnly.Db()).size());
  });
  EXPECT_EQ(loaded, 2);

  // A missing file in a directory that does not allow creating one: an
  // empty book, and no file.
  const std::string missing = dir.File("Missing.bin");
  const int missingLoaded = RunAsNobody([&] {
    ExperienceStore empty;
    empty.LoadExperience(missing);
    return empty.RunTouch() == 1 ? static_cast<int>(TableRows(empty.Db()).size()) : 103;
  });
  EXPECT_EQ(missingLoaded, 0);
  EXPECT_FALSE(std::filesystem::exists(missing));
  chmod(dir.path().c_str(), 0700);
}
#endif  // the permission test needs POSIX users

}  // namespace
}  // namespace quorvex

// Writing a store back to a file: the bytes a load took in come back out,
// values too wide for their field never wrap, and a failed write leaves the
// old file and no temporary one.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

#include "book/experience_store.h"
#include "book/experience_write.h"
#include "tests/experience_test_support.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

using test::Bytes;

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> FilesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.insert(entry.path().filename().string());
  return names;
}

TEST(ExperienceWrite, LoadThenWriteGivesBackTheSameBytesForAHundredThousandRandomRecords) {
  test::TempDir dir;
  std::mt19937_64 random(20240611);
  Bytes bytes(100000 * ExperienceRecordBytes);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  test::WriteBytes(dir.File("in.bin"), bytes);

  ExperienceStore store;
  store.LoadExperience(dir.File("in.bin"));
  const ExperienceWriteResult written = WriteExperienceFile(store.Db(), dir.File("out.bin"));
  ASSERT_TRUE(written.ok) << written.error;
  EXPECT_EQ(written.records, 100000);
  EXPECT_EQ(written.saturatedRows, 0);
  EXPECT_TRUE(ReadBytes(dir.File("out.bin")) == bytes);
  EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"in.bin", "out.bin"}));
}

TEST(ExperienceWrite, CountsSaturateOtherFieldsRefuseAndAFailureLeavesTheOldFile) {
  test::TempDir dir;
  ExperienceStore store;
  store.LoadExperience(dir.File("Experience.bin"));
  Database& db = store.Db();

  // Counts beyond int16 saturate, with a warning; in-range rows are exact.
  ASSERT_TRUE(db.Execute("insert into Openings values(5,-7,11,12,40000,-40000,2,70001);"
                         "insert into Openings values(6,5,-8,30,32767,-32768,3,-2147483648)"));
  const std::string out = dir.File("out.bin");
  const ExperienceWriteResult clamped = WriteExperienceFile(db, out);
  ASSERT_TRUE(clamped.ok) << clamped.error;
  EXPECT_EQ(clamped.saturatedRows, 1);
  EXPECT_NE(clamped.warning.find("1 rows"), std::string::npos) << clamped.warning;
  EXPECT_TRUE(ReadBytes(out) == test::EncodeRecords({{5, -7, 11, 12, 32767, -32768, 2, 70001},
                                                      {6, 5, -8, 30, 32767, -32768, 3, INT32_MIN}}));
  const Bytes before = ReadBytes(out);

  // A point, move number or stamp too wide refuses the write, naming the row.
  const char* tooWide[] = {
      "update Openings set X = 128 where rowid = 2",
      "update Openings set X = 30, Y = -129 where rowid = 2",
      "update Openings set Y = 1, MoveNo = 32768 where rowid = 2",
      "update Openings set MoveNo = 1, Touch = 2147483648 where rowid = 2",
  };
  for (const char* change : tooWide) {
    ASSERT_TRUE(db.Execute(change));
    const ExperienceWriteResult refused = WriteExperienceFile(db, out);
    EXPECT_FALSE(refused.ok) << change;
    EXPECT_NE(refused.error.find("row 2 of the store"), std::string::npos) << refused.error;
    EXPECT_TRUE(ReadBytes(out) == before) << change;
  }

  // No table, or no directory to write in: an error, and nothing is made.
  Database empty(":memory:");
  EXPECT_FALSE(WriteExperienceFile(empty, out).ok);
  const ExperienceWriteResult nowhere = WriteExperienceFile(db, dir.File("missing/out.bin"));
  EXPECT_FALSE(nowhere.ok);
  EXPECT_NE(nowhere.error.find("missing"), std::string::npos) << nowhere.error;
  EXPECT_TRUE(ReadBytes(out) == before);
  EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"Experience.bin", "out.bin"}));
}

}  // namespace
}  // namespace quorvex

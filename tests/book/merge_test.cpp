// quorvex-book merge: files trained apart joined into one, row by row.

#include <gtest/gtest.h>

#include "tests/book/book_test_support.h"
#include "tests/experience_test_support.h"

namespace quorvex::book {
namespace {

using quorvex::test::Bytes;
using quorvex::test::EncodeRecords;
using test::ReadFile;
using test::ScratchDir;

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string Write(const ScratchDir& dir, const std::string& name,
                  const std::vector<ExperienceRecord>& rows) {
  test::WriteFile(dir.File(name), Text(EncodeRecords(rows)));
  return dir.File(name);
}

TEST(BookMerge, RowsOfOneFileStayAndSharedRowsAreSummedThenBounded) {
  ScratchDir dir;
  // 1. Disjoint files: the rows of each, in the order of the files given,
  //    duplicates within a file kept.
  const std::vector<ExperienceRecord> a = {{1, 0, 11, 11, 2, 1, 1, 71000},
                                           {2, 1, 12, 12, 1, 4, 12, 71000},
                                           {2, 1, 12, 12, 1, 4, 12, 71000}};
  const std::vector<ExperienceRecord> b = {{3, 0, 11, 11, 5, 2, 1, 71003},
                                           {1, 0, 12, 11, 1, 1, 1, 7}};
  const auto disjoint = test::RunBook("merge " + dir.File("ab.bin") + " " + Write(dir, "b.bin", b) +
                                      " " + Write(dir, "a.bin", a));
  ASSERT_EQ(disjoint.exitCode, 0) << disjoint.output;
  EXPECT_NE(disjoint.output.find("5 rows, 0 of them joined"), std::string::npos) << disjoint.output;
  EXPECT_EQ(ReadFile(dir.File("ab.bin")),
            ReadFile(dir.File("b.bin")) + ReadFile(dir.File("a.bin")));

  // 2. Shared rows (same CRC, X, Y) become one, where the first stood:
  //    the first's PrevCRC and MoveNo, the latest Touch, the sums bounded
  //    by learning's rules in learning's order.
  const std::vector<ExperienceRecord> c = {
      {10, 0, 11, 11, 3, 1, 1, 71002},       // + 4/1 = 7/2: capped to 5/2
      {20, 10, 12, 12, 10000, 1, 2, 71000},  // + 1/1 = 10001/2: reset to 1 win first
      {30, 10, 13, 13, 1, 5, 2, 71000},      // + 1/1 + 1/1 = 3/7: capped to 3/6
      {40, 10, 14, 14, 2, 1, 2, 71000},      // held by c alone, twice: kept, both
      {40, 10, 14, 14, 2, 1, 2, 71000}};
  const std::vector<ExperienceRecord> d = {{99, 5, 15, 15, 1, 1, 3, 71000},
                                           {30, 77, 13, 13, 1, 1, 9, 71009},
                                           {10, 0, 11, 11, 4, 1, 1, 71001},
                                           {20, 10, 12, 12, 1, 1, 2, 71000}};
  const std::vector<ExperienceRecord> e = {{30, 10, 13, 13, 1, 1, 2, 71004}};
  const auto shared = test::RunBook("merge " + dir.File("cde.bin") + " " + Write(dir, "c.bin", c) +
                                    " " + Write(dir, "d.bin", d) + " " + Write(dir, "e.bin", e));
  ASSERT_EQ(shared.exitCode, 0) << shared.output;
  EXPECT_NE(shared.output.find("6 rows, 3 of them joined from 7 rows"), std::string::npos)
      << shared.output;
  EXPECT_EQ(ReadFile(dir.File("cde.bin")), Text(EncodeRecords({{10, 0, 11, 11, 5, 2, 1, 71002},
                                                               {20, 10, 12, 12, 1, 2, 2, 71000},
                                                               {30, 10, 13, 13, 3, 6, 2, 71009},
                                                               {40, 10, 14, 14, 2, 1, 2, 71000},
                                                               {40, 10, 14, 14, 2, 1, 2, 71000},
                                                               {99, 5, 15, 15, 1, 1, 3, 71000}})));
}

TEST(BookMerge, FilesOfDifferentKindsMissingOrTruncatedAreRefusedAndNothingIsWritten) {
  ScratchDir dir;
  const std::string lasting = Write(dir, "lasting.bin", {{1, 0, 11, 11, 2, 1, 1, 71000}});
  const std::string passing = Write(dir, "passing.bin", {{2, 0, 11, 11, 2, 1, 1, 12}});
  const std::string empty = Write(dir, "empty.bin", {});
  test::WriteFile(dir.File("truncated.bin"), ReadFile(lasting) + "12345");
  const std::string out = dir.File("out.bin");
  test::WriteFile(out, "what was there");

  struct Case {
    std::string files;
    int exitCode;
    std::string says;
  };
  const Case cases[] = {
      {lasting + " " + empty + " " + passing, 2,
       "files of different kinds: rows past stone 9 are kept by a brain loading " + lasting +
           " (its stamp 71001) but not by one loading " + passing + " (its stamp 13, below 71000)"},
      {lasting + " " + dir.File("missing.bin"), 1, dir.File("missing.bin") + ": no such file"},
      {dir.File("truncated.bin") + " " + lasting, 1,
       dir.File("truncated.bin") + ": truncated: 5 bytes at offset 28"},
  };
  for (const Case& c : cases) {
    const auto result = test::RunBook("merge " + out + " " + c.files);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.output;
    EXPECT_NE(result.output.find(c.says), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("nothing is written"), std::string::npos) << result.output;
    EXPECT_EQ(ReadFile(out), "what was there");
  }
  // A file without rows goes with either kind.
  EXPECT_EQ(test::RunBook("merge " + out + " " + empty + " " + passing).exitCode, 0);
  EXPECT_EQ(ReadFile(out), ReadFile(passing));
}

}  // namespace
}  // namespace quorvex::book

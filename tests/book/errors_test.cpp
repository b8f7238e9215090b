// Bad input: each fault is named with its file and place, the exit status
// is not 0, and the file the command was to write stays as it was.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/book/book_test_support.h"
#include "tests/experience_test_support.h"

namespace quorvex::book {
namespace {

using test::ScratchDir;

constexpr const char* kPrevious = "the file as it was before";

TEST(BookErrors, ExperienceFilesThatAreMissingUnreadableTruncatedOrNoRecordsAreRefused) {
  ScratchDir dir;
  mkdir(dir.File("folder").c_str(), 0755);
  const quorvex::test::Bytes two = quorvex::test::EncodeRecords({{1, 2, 11, 11, 1, 1, 1, 1}, {3, 1, 12, 11, 1, 1, 2, 1}});
  test::WriteFile(dir.File("truncated.bin"), std::string(two.begin(), two.end()) + "frag!");
  test::WriteFile(dir.File("text.bin"), "Piskvorky 20x20, 11:11, 0\r\n11,11,0\r\n");
  test::WriteFile(dir.File("game.psq"), "Piskvorky 20x20, 11:11, 0\r\n11,11,0\r\n");
  struct Case {
    const char* file;
    const char* says;
  };
  const Case cases[] = {
      {"missing.bin", "missing.bin: no such file"},
      {"folder", "folder: not a regular file"},
      {"truncated.bin", "truncated.bin: truncated: 5 bytes at offset 56"},
      {"text.bin", "text.bin: not an experience file: the record at offset 0"},
  };
  const std::string out = dir.File("out.bin");
  for (const Case& c : cases) {
    const std::string bad = dir.File(c.file);
    for (const std::string& command :
         {"stats " + bad, "dump " + bad, "trim " + bad + " " + out,
          "learn " + out + " " + dir.File("game.psq") + " --base " + bad,
          "train " + out + " --opponent " + SCRIPTED_BRAIN_PATH + " --base " + bad}) {
      test::WriteFile(out, kPrevious);
      const auto result = test::RunBook(command);
      EXPECT_EQ(result.exitCode, 1) << command << "\n" << result.output;
      EXPECT_NE(result.output.find(c.says), std::string::npos) << command << "\n" << result.output;
      EXPECT_EQ(test::ReadFile(out), kPrevious) << command;
    }
  }
}

TEST(BookErrors, GameRecordsThatDoNotParseStopLearnAndArgumentsAreChecked) {
  ScratchDir dir;
  test::WriteFile(dir.File("good.psq"), "Piskvorky 20x20, 11:11, 0\r\n11,11,0\r\n");
  test::WriteFile(dir.File("header.psq"), "Piskvorky 20x19, 11:11, 0\r\n11,11,0\r\n");
  test::WriteFile(dir.File("open.sgf"), "(;GM[4]SZ[15];B[hh];W[ii");
  test::WriteFile(dir.File("other.sgf"), "(;GM[1]SZ[19];B[dd])");
  const std::string out = dir.File("out.bin");
  const std::pair<const char*, const char*> records[] = {
      {"header.psq", "header.psq: line 1: "},
      {"open.sgf", "open.sgf: byte 21: "},
      {"other.sgf", "other.sgf: GM[1] is not Gomoku"},
      {"missing.psq", "missing.psq: no such file"},
  };
  for (const auto& [file, says] : records) {
    test::WriteFile(out, kPrevious);
    const auto result =
        test::RunBook("learn " + out + " " + dir.File("good.psq") + " " + dir.File(file));
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_NE(result.output.find(says), std::string::npos) << result.output;
    EXPECT_EQ(test::ReadFile(out), kPrevious) << file;
  }
  const char* badArguments[] = {"", "frobnicate x", "stats", "stats a b", "dump a --base b",
                                "trim a b --max-bytes -1", "train out.bin",
                                "train out.bin --opponent x --size 17", "learn out.bin"};
  for (const char* arguments : badArguments) {
    EXPECT_EQ(test::RunBook(arguments).exitCode, 2) << arguments;
  }
  EXPECT_EQ(test::RunBook("train " + out + " --opponent " + dir.File("nobrain")).exitCode, 3);
  EXPECT_EQ(test::ReadFile(out), kPrevious);
}

}  // namespace
}  // namespace quorvex::book

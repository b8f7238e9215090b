// quorvex-book as a program: the exit status of a bad command line, and of
// an opponent that cannot be started, and the file to write stays as it was.

#include <gtest/gtest.h>

#include "tests/book/book_test_support.h"

namespace quorvex::book {
namespace {

TEST(BookProgram, BadArgumentsExitWith2AndAnOpponentThatCannotStartWith3) {
  const char* badArguments[] = {"", "frobnicate x", "stats", "stats a b", "dump a --base b",
                                "trim a b --max-bytes -1", "train out.bin",
                                "train out.bin --opponent x --size 17", "learn out.bin"};
  for (const char* arguments : badArguments) {
    EXPECT_EQ(test::RunBook(arguments).exitCode, 2) << arguments;
  }
  test::ScratchDir dir;
  const std::string out = dir.File("out.bin");
  test::WriteFile(out, "the file as it was before");
  EXPECT_EQ(test::RunBook("train " + out + " --opponent " + dir.File("nobrain")).exitCode, 3);
  EXPECT_EQ(test::ReadFile(out), "the file as it was before");
}

}  // namespace
}  // namespace quorvex::book

// The bytes a brain writes, cut into lines.

#include "tools/gomocup/brain_process/line_assembler.h"

#include <gtest/gtest.h>

namespace quorvex::match {
namespace {

TEST(LineAssemblerTest, SplitsAtLfCrAndCrLfEvenAcrossReads) {
  struct Case {
    const char* name;
    std::vector<std::string> chunks;
    std::vector<std::string> lines;
    std::string partial;
  };
  const std::vector<Case> cases = {
      {"crlf", {"OK\r\n7,7\r\n"}, {"OK", "7,7"}, ""},
      {"lf", {"OK\n7,7\n"}, {"OK", "7,7"}, ""},
      {"cr", {"OK\r7,7\r"}, {"OK", "7,7"}, ""},
      {"crlf split", {"OK\r", "\n7,", "7\r", "\n"}, {"OK", "7,7"}, ""},
      {"empty lines kept", {"\n\r\n\r\r"}, {"", "", "", ""}, ""},
      {"lf cr is two ends", {"a\n\rb\n"}, {"a", "", "b"}, ""},
      {"unfinished", {"MESSAGE hi\r\n3,"}, {"MESSAGE hi"}, "3,"},
  };
  for (const Case& c : cases) {
    LineAssembler assembler;
    for (const std::string& chunk : c.chunks) assembler.Feed(chunk);
    std::vector<std::string> lines;
    std::string line;
    while (assembler.Next(line)) lines.push_back(line);
    EXPECT_EQ(lines, c.lines) << c.name;
    EXPECT_EQ(assembler.TakePartial(), c.partial) << c.name;
  }
}

TEST(LineAssemblerTest, CutsOverlongLines) {
  LineAssembler assembler;
  assembler.Feed(std::string(LineAssembler::MaxLineLength + 100, 'x'));
  assembler.Feed("\n1,1\n");
  std::string line;
  ASSERT_TRUE(assembler.Next(line));
  EXPECT_EQ(line.size(), LineAssembler::MaxLineLength);
  ASSERT_TRUE(assembler.Next(line));
  EXPECT_EQ(line, "1,1");
}

}  // namespace
}  // namespace quorvex::match

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "brain/protocol_text.h"

namespace quorvex {
namespace {

TEST(SplitField, TakesTheTextBetweenSeparators) {
  EXPECT_EQ(SplitField("TURN 9,10", ' ', 1), "TURN");
  EXPECT_EQ(SplitField("TURN 9,10", ' ', 2), "9,10");
  EXPECT_EQ(SplitField("TURN 9,10", ' ', 3), "");
  EXPECT_EQ(SplitField("a,,c", ',', 2), "");
  EXPECT_EQ(SplitField("a,,c", ',', 3), "c");
  EXPECT_EQ(SplitField("", ',', 1), "");
  EXPECT_EQ(SplitField("INFO  timeout_turn 5", ' ', 2), "");
}

TEST(ReadNumber, ReadsSignsBasesAndStopsAtTheFirstOtherCharacter) {
  // `number`: a digit stands where the number starts, so its 0 is a value
  // and not the 0 of a field that holds none.
  struct Case {
    const char* field;
    int32_t value;
    bool number;
  };
  const Case cases[] = {
      {"12", 12, true},       {"  \t7", 7, true},    {"-3", -3, true},      {"+4", 4, true},
      {"19x", 19, true},      {"", 0, false},        {"abc", 0, false},     {"-", 0, false},
      {"$1F", 31, true},      {"$ff", 255, true},    {"-$10", -16, true},   {"%101", 5, true},
      {"%102", 2, true},      {"$", 0, false},       {" 5 6", 5, true},     {"4\r", 4, true},
      {"99999999999999999999", 2147483647, true},    {"-99999999999999999999", -2147483647 - 1, true},
      {"-0", 0, true},        {"0", 0, true},        {"%", 0, false},       {"$g", 0, false},
      {"%2", 0, false},       {" ", 0, false},       {"+$", 0, false},      {"x1", 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadNumber(c.field), c.value) << '"' << c.field << '"';
    EXPECT_EQ(HasNumber(c.field), c.number) << '"' << c.field << '"';
  }
}

std::vector<std::string> ReadAll(const std::string& bytes) {
  std::istringstream in(bytes);
  LineReader reader(in);
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  return lines;
}

TEST(LineReader, AcceptsEveryLineEnding) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(ReadAll("A\nB\n"), (Lines{"A", "B"}));
  EXPECT_EQ(ReadAll("A\r\nB\r\n"), (Lines{"A", "B"}));
  EXPECT_EQ(ReadAll("A\rB\r"), (Lines{"A", "B"}));
  EXPECT_EQ(ReadAll("A\r\rB"), (Lines{"A", "", "B"}));
  EXPECT_EQ(ReadAll("A\n\nB"), (Lines{"A", "", "B"}));
  EXPECT_EQ(ReadAll("A\n\r\nB\r\n"), (Lines{"A", "", "B"}));
  EXPECT_EQ(ReadAll(""), Lines{});
  EXPECT_EQ(ReadAll("LAST"), Lines{"LAST"});
}

TEST(LineReader, CutsOverlongLinesWithoutLosingTheNext) {
  const std::string huge(LineReader::MaxLineLength * 3, 'x');
  const auto lines = ReadAll(huge + "\nEND\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), LineReader::MaxLineLength);
  EXPECT_EQ(lines[1], "END");
}

TEST(LineReader, NeverWaitsForTheByteAfterACarriageReturn) {
  // A stream that fails the test if read past the CR before the line is
  // handed over: a pipe from a manager that ends lines with CR would block.
  struct OneShot : std::streambuf {
    std::string data = "TURN 1,2\r";
    std::size_t pos = 0;
    int underflow() override {
      if (pos >= data.size()) {
        ADD_FAILURE() << "read past the carriage return";
        return traits_type::eof();
      }
      return traits_type::to_int_type(data[pos]);
    }
    int uflow() override {
      const int c = underflow();
      if (c != traits_type::eof()) ++pos;
      return c;
    }
  } buffer;
  std::istream in(&buffer);
  LineReader reader(in);
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "TURN 1,2");
}

}  // namespace
}  // namespace quorvex

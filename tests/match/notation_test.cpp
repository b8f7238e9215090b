// Reading points, openings, brain commands and the bytes brains write.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "match_test_support.h"
#include "tools/match/brain_command.h"
#include "tools/match/coordinates.h"
#include "tools/match/line_assembler.h"
#include "tools/match/openings.h"

namespace quorvex::match {
namespace {

TEST(CoordinatesTest, ParsesBothNotations) {
  struct Case {
    const char* text;
    std::optional<Point> point;
  };
  const std::vector<Case> cases = {
      {"7,7", Point{7, 7}},     {"0,19", Point{0, 19}},  {"h8", Point{7, 7}},
      {"H8", Point{7, 7}},      {"a1", Point{0, 0}},     {"t20", Point{19, 19}},
      {" o15 ", Point{14, 14}}, {"a0", std::nullopt},    {"8", std::nullopt},
      {"hh", std::nullopt},     {"7;7", std::nullopt},   {"7,", std::nullopt},
      {",7", std::nullopt},     {"1,2,3", std::nullopt}, {"99999,1", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseAnyPoint(c.text), c.point) << c.text;
}

TEST(CoordinatesTest, FormatsRoundTrip) {
  for (int32_t x = 0; x < 20; ++x) {
    for (int32_t y = 0; y < 20; ++y) {
      EXPECT_EQ(ParseNotation(FormatNotation({x, y})), (Point{x, y}));
      EXPECT_EQ(ParseProtocolPoint(FormatProtocolPoint({x, y})), (Point{x, y}));
    }
  }
  EXPECT_EQ(FormatNotation({7, 7}), "h8");
}

TEST(OpeningsTest, ReadsLinesInEitherNotationAndSkipsComments) {
  std::string error;
  const auto openings = ParseOpenings("# pairs\nh8 i9\r\n\n7,7 8,8;6,6\n", 15, error);
  ASSERT_TRUE(openings) << error;
  ASSERT_EQ(openings->size(), 2u);
  EXPECT_EQ((*openings)[0], (Opening{{7, 7}, {8, 8}}));
  EXPECT_EQ((*openings)[1], (Opening{{7, 7}, {8, 8}, {6, 6}}));
}

TEST(OpeningsTest, RejectsBadOpeningsNamingTheLine) {
  struct Case {
    const char* text;
    const char* errorPart;
  };
  const std::vector<Case> cases = {
      {"h8\nh8 zz\n", "line 2: not a list"},
      {"h8 h8\n", "line 1: h8 (7,7) is off the board or repeated"},
      {"p1\n", "off the board"},  // p is column 15 of a 15 board
      {"a1 b1 a2 b2 a3 b3 a4 b4 a5\n", "five in a row"},
      {"# nothing\n\n", "no opening"},
      {"; ;\n\t;\n", "no opening"},  // separators alone are blank lines, not empty openings
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseOpenings(c.text, 15, error)) << c.text;
    EXPECT_NE(error.find(c.errorPart), std::string::npos) << c.text << " -> " << error;
  }
  std::string error;
  EXPECT_FALSE(LoadOpenings("/nonexistent/openings.txt", 15, error));
  EXPECT_NE(error.find("cannot read"), std::string::npos);
}

TEST(OpeningsTest, OffsetLinesAreTakenFromTheCentreAndAFileHoldsOneFormOnly) {
  struct Case {
    const char* text;
    int32_t size;
    std::vector<Opening> openings;  // empty: refused
    const char* errorPart = "";
  };
  const std::vector<Case> cases = {
      // Gomocup's offsets, with or without blanks, from 10,10 on 20 and 7,7 on 15.
      {"0,0, 1,1, -1,1\n1,2,2,1\n", 20, {{{10, 10}, {11, 11}, {9, 11}}, {{11, 12}, {12, 11}}}},
      {"0,0, 1,1, -1,1\n", 15, {{{7, 7}, {8, 8}, {6, 8}}}},
      // One pair alone takes the form of the other lines, either way.
      {"0,0\n# c\n0,0, 1,1\n", 20, {{{10, 10}}, {{10, 10}, {11, 11}}}},
      {"0,0\nh8 i9\n", 20, {{{0, 0}}, {{7, 7}, {8, 8}}}},
      // A sign makes an offset.
      {"+0,+0\n-1,2\n", 20, {{{10, 10}}, {{9, 12}}}},
      {"0,0\n\n3,4\n", 20, {}, "line 1: \"0,0\" may be the point 0,0 or the offset 0,0"},
      {"h8 i9\n\n0,0, 1,1\n", 20, {}, "line 3: holds offsets, but line 1 holds moves"},
      {"0,0, 1,1\n7,7 8,8\n", 20, {}, "line 2: holds moves, but line 1 holds offsets"},
      {"0,0, 1,1\n0,0, 1\n", 20, {}, "line 2: not a list of moves"},
      {"0,0, 10,0\n", 20, {}, "line 1: the offset 10,0 at 20,10 is off the board"},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto openings = ParseOpenings(c.text, c.size, error);
    if (c.openings.empty()) {
      EXPECT_FALSE(openings) << c.text;
      EXPECT_NE(error.find(c.errorPart), std::string::npos) << c.text << " -> " << error;
    } else {
      ASSERT_TRUE(openings) << c.text << " -> " << error;
      EXPECT_EQ(*openings, c.openings) << c.text;
    }
  }
  // Only a regular file is read: a pipe would block.
  std::string error;
  EXPECT_FALSE(LoadOpenings("/dev/null", 20, error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}

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

TEST(BrainCommandTest, SplitsWordsWithQuotesAndEscapes) {
  EXPECT_EQ(SplitCommand("a b  c"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SplitCommand("'my brain' \"x y\" z\\ w"),
            (std::vector<std::string>{"my brain", "x y", "z w"}));
  EXPECT_EQ(SplitCommand("a ''"), (std::vector<std::string>{"a", ""}));
  EXPECT_FALSE(SplitCommand("a 'b"));
}

TEST(BrainCommandTest, ResolvesToAnAbsolutePathAndItsDirectory) {
  std::string error;
  const auto sh = ResolveBrainCommand("sh -c 'exit 0'", error);
  ASSERT_TRUE(sh) << error;
  EXPECT_EQ(sh->argv.size(), 3u);
  EXPECT_EQ(sh->argv[0].front(), '/');
  EXPECT_EQ(sh->name, "sh");
  EXPECT_EQ(sh->directory + "/sh", sh->argv[0]);
  EXPECT_EQ(sh->argv[2], "exit 0");

  for (const char* bad : {"", "   ", "./no-such-brain", "no-such-brain-in-path", "'open"}) {
    error.clear();
    EXPECT_FALSE(ResolveBrainCommand(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  test::ScratchDir dir;
  const std::string plain = dir.File("not-executable");
  std::ofstream(plain) << "#!/bin/sh\n";
  std::filesystem::permissions(
      plain, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_FALSE(ResolveBrainCommand(plain, error));
  EXPECT_NE(error.find("no executable file at " + plain), std::string::npos) << error;
}

}  // namespace
}  // namespace quorvex::match

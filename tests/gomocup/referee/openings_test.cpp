// Openings files: moves or offsets from the centre, one opening a line, and
// the faults that refuse a file, named with their line.

#include "tools/gomocup/referee/openings.h"

#include <gtest/gtest.h>

namespace quorvex::match {
namespace {

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

}  // namespace
}  // namespace quorvex::match

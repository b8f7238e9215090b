// The board as terminal text.

#include "tools/match/text_board.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/gomocup/gomocup_test_support.h"

namespace quorvex::match {
namespace {

TEST(TextBoardTest, EdgesCarryCoordinatesAndTheLastStoneIsBracketed) {
  const std::string text = RenderTextBoard(test::SmallGame().board);
  std::vector<std::string> lines;
  size_t at = 0;
  for (size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(text.substr(at, end - at));
  }
  ASSERT_EQ(lines.size(), 17u);  // letters, 15 rows, letters
  EXPECT_EQ(lines.front(), "    a  b  c  d  e  f  g  h  i  j  k  l  m  n  o");
  EXPECT_EQ(lines.back(), lines.front());
  EXPECT_EQ(lines[8], " 8  .  .  .  .  .  .  .  X [X] .  .  .  .  .  .   8");
  EXPECT_EQ(lines[15], "15  O  .  .  .  .  .  .  .  .  .  .  .  .  .  .  15");
  EXPECT_EQ(std::count(text.begin(), text.end(), '['), 1);
}

TEST(TextBoardTest, TheRowOfFiveIsInParentheses) {
  const std::string text = RenderTextBoard(test::FiveInARow().board);
  EXPECT_NE(text.find(" 8  .  .  .  .  .  .  . (X)(X)[X](X)(X) .  .  .   8"), std::string::npos)
      << text;
  EXPECT_EQ(test::CountOf(text, "(O)"), 0);
}

}  // namespace
}  // namespace quorvex::match

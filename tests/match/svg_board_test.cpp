// A position as an SVG picture.

#include "tools/match/svg_board.h"

#include <gtest/gtest.h>

#include "tests/gomocup/gomocup_test_support.h"

namespace quorvex::match {
namespace {

TEST(SvgBoardTest, DrawsEveryStoneTheLastRingAndAnEscapedCaption) {
  const std::string svg = RenderSvgBoard(test::SmallGame().board, "a <b> & \"c\"\nsecond line");
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
  // 15 + 15 grid lines; 3 stones plus the ring of the last one.
  EXPECT_EQ(test::CountOf(svg, "<line "), 30);
  EXPECT_EQ(test::CountOf(svg, "<circle "), 4);
  EXPECT_EQ(test::CountOf(svg, "fill=\"#111111\" stroke"), 2);
  EXPECT_NE(svg.find("a &lt;b&gt; &amp; &quot;c&quot;"), std::string::npos);
  EXPECT_EQ(svg.find("<b>"), std::string::npos);
  EXPECT_NE(svg.find(">second line</text>"), std::string::npos);
}

TEST(SvgBoardTest, TheRowOfFiveIsStruckThrough) {
  const std::string svg = RenderSvgBoard(test::FiveInARow().board, "");
  EXPECT_EQ(test::CountOf(svg, "<line class=\"five\""), 1);
  EXPECT_NE(svg.find("<line class=\"five\" x1=\"264\" y1=\"264\" x2=\"392\" y2=\"264\""),
            std::string::npos);
  EXPECT_EQ(RenderSvgBoard(test::SmallGame().board, "").find("class=\"five\""), std::string::npos);
}

}  // namespace
}  // namespace quorvex::match

// The two ways a point is written: the protocol's "x,y" and the board's "h8".

#include "tools/gomocup/referee/coordinates.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quorvex::match

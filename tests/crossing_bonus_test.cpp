// The crossing pass on hand-made candidate lists.

#include "eval/crossing_bonus.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvex {
namespace {

struct Shape {
  int32_t x, y, score, direction, side;
};

// Candidates 1..n from `shapes` in collection order; returns the scores
// after the crossing pass.
std::vector<int32_t> ScoresAfterCrossing(const std::vector<Shape>& shapes) {
  std::vector<MoveRecord> c(1);
  for (const Shape& s : shapes) c.push_back({.x = s.x, .y = s.y, .score = s.score, .direction = s.direction, .side = s.side});
  CrossingPass pass(static_cast<int32_t>(shapes.size()));
  pass.Apply(c.data(), static_cast<int32_t>(shapes.size()));
  std::vector<int32_t> scores;
  for (std::size_t i = 1; i < c.size(); ++i) {
    EXPECT_EQ(c[i].bonus, c[i].score != shapes[i - 1].score ? 1 : 0);
    scores.push_back(c[i].score);
  }
  return scores;
}

TEST(CrossingPass, RaisesTwosAndThreesThatCrossAShapeOfTheSameSide) {
  struct Case {
    const char* name;
    std::vector<Shape> shapes;
    std::vector<int32_t> expected;
  };
  const Case cases[] = {
      {"two crossing two: only the earlier", {{5, 5, 50, 1, 2}, {5, 5, 50, 2, 2}}, {65, 50}},
      {"closed three crossing two", {{5, 5, 60, 3, 3}, {5, 5, 50, 4, 3}}, {75, 50}},
      {"open three crossing two", {{5, 5, 70, 1, 2}, {5, 5, 50, 3, 2}}, {85, 50}},
      {"same line is no crossing", {{5, 5, 50, 1, 2}, {5, 5, 50, 1, 2}}, {50, 50}},
      {"different sides", {{5, 5, 50, 1, 2}, {5, 5, 50, 2, 3}}, {50, 50}},
      {"different points", {{5, 5, 50, 1, 2}, {5, 6, 50, 2, 2}}, {50, 50}},
      {"a 40 neither gains nor grants", {{5, 5, 40, 1, 2}, {5, 5, 50, 2, 2}}, {40, 50}},
      {"a four grants but never gains", {{5, 5, 180, 1, 2}, {5, 5, 50, 2, 2}}, {180, 65}},
      {"a raised partner is spent", {{5, 5, 50, 1, 2}, {5, 5, 50, 2, 2}, {5, 5, 60, 1, 2}}, {65, 65, 60}},
      // Two candidates of one line share the point: both find the other
      // line's candidate before it is raised; it then finds only spent ones.
      {"several of one line", {{5, 5, 50, 1, 2}, {5, 5, 50, 1, 2}, {5, 5, 50, 2, 2}}, {65, 65, 50}},
      {"later partner unraised", {{5, 5, 50, 2, 2}, {5, 5, 40, 1, 2}, {5, 5, 70, 1, 2}}, {65, 40, 70}},
  };
  for (const Case& c : cases) EXPECT_EQ(ScoresAfterCrossing(c.shapes), c.expected) << c.name;
}

TEST(CrossingPass, LeavesNothingBehindForTheNextCall) {
  CrossingPass pass(4);
  std::vector<MoveRecord> first(3);
  first[1] = {.x = 5, .y = 5, .score = 50, .direction = 1, .side = 2};
  first[2] = {.x = 5, .y = 5, .score = 50, .direction = 2, .side = 2};
  pass.Apply(first.data(), 2);
  // A lone candidate at the same point must find no partner from before.
  std::vector<MoveRecord> second(2);
  second[1] = {.x = 5, .y = 5, .score = 50, .direction = 3, .side = 2};
  pass.Apply(second.data(), 1);
  EXPECT_EQ(second[1].score, 50);
}

}  // namespace
}  // namespace quorvex

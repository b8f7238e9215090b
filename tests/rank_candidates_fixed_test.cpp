// The rankings of the benchmark's fixed positions, as the plain version of
// the ranker produced them. A faster ranker must give the same lists to
// the last field: the opening is listed in full, the larger positions are
// kept as a count and a checksum over every entry.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eval/rank_candidates.h"
#include "tests/eval_fixed_positions.h"

namespace quorvex {
namespace {

// FNV-1a over the count and the x, y, score, side and mine of every entry.
uint32_t Checksum(const MoveList& list) {
  uint32_t hash = 2166136261u;
  auto mix = [&hash](int32_t value) {
    for (int32_t byte = 0; byte < 4; ++byte) {
      hash ^= static_cast<uint32_t>(value >> (8 * byte)) & 0xffu;
      hash *= 16777619u;
    }
  };
  mix(ListCount(list));
  for (int32_t i = 1; i <= ListCount(list); ++i) {
    const MoveRecord& e = list[i];
    for (int32_t v : {e.x, e.y, e.score, e.side, e.mine}) mix(v);
  }
  return hash;
}

class RankingRegressionTest : public ::testing::Test {
 protected:
  RankingRegressionTest() { BuildTemplates(tables); }
  MoveList Rank(int32_t position, int32_t level, int32_t side) {
    MoveList list;
    ranker.RankCandidates(test::FixedBoard(test::kFixedPositions[position]), list, level, side);
    return list;
  }
  TemplateTables tables;
  CandidateRanker ranker{tables};
};

//   x = 10 11 12 13
// y = 10  O  .  O  .
// y = 11  .  X  .  X
// y = 12  .  .  X  .
// y = 13  .  O  .  .
TEST_F(RankingRegressionTest, OpeningSelection) {
  struct Expected {
    int32_t x, y, score, side;
  };
  const std::vector<Expected> expected = {
      {12, 11, 50, 2}, {10, 11, 50, 2}, {14, 11, 50, 2}, {9, 10, 50, 3},
      {13, 10, 50, 3}, {11, 10, 50, 3}, {14, 10, 40, 2}, {15, 9, 40, 2},
      {14, 14, 40, 2}, {13, 13, 40, 2}, {12, 9, 30, 3}, {11, 9, 30, 3},
  };
  const MoveList list = Rank(1, 1, CellOwn);
  ASSERT_EQ(ListCount(list), static_cast<int32_t>(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const MoveRecord& e = list[i + 1];
    EXPECT_EQ(e.x, expected[i].x) << "entry " << i + 1;
    EXPECT_EQ(e.y, expected[i].y) << "entry " << i + 1;
    EXPECT_EQ(e.score, expected[i].score) << "entry " << i + 1;
    EXPECT_EQ(e.side, expected[i].side) << "entry " << i + 1;
    EXPECT_EQ(e.mine, expected[i].side == CellOwn ? 1 : 0) << "entry " << i + 1;
  }
}

TEST_F(RankingRegressionTest, FixedPositionsKeepTheirLists) {
  struct Case {
    int32_t position, level, side, count;
    uint32_t checksum;
  };
  const Case cases[] = {
      {0, 1, 2, 0, 0x4b95f515u},
      {0, 1, 3, 0, 0x4b95f515u},
      {0, FullListLevel, 2, 0, 0x4b95f515u},
      {0, FullListLevel, 3, 0, 0x4b95f515u},
      {1, 1, 2, 12, 0x04b591cau},
      {1, 1, 3, 12, 0x8151838au},
      {1, FullListLevel, 2, 48, 0x7fb0bb65u},
      {1, FullListLevel, 3, 48, 0x93eeffa5u},
      {2, 1, 2, 12, 0x9eccdad4u},
      {2, 1, 3, 12, 0x9c192bb4u},
      {2, FullListLevel, 2, 278, 0x65784162u},
      {2, FullListLevel, 3, 278, 0x6659b4d2u},
      {3, 1, 2, 9, 0x670393e3u},
      {3, 1, 3, 9, 0x8cff8932u},
      {3, FullListLevel, 2, 512, 0x76993652u},
      {3, FullListLevel, 3, 512, 0x505b2f72u},
  };
  for (const Case& c : cases) {
    const MoveList list = Rank(c.position, c.level, c.side);
    EXPECT_EQ(ListCount(list), c.count) << test::kFixedPositions[c.position].name << " level " << c.level
                                        << " side " << c.side;
    EXPECT_EQ(Checksum(list), c.checksum) << test::kFixedPositions[c.position].name << " level " << c.level
                                          << " side " << c.side;
  }
}

}  // namespace
}  // namespace quorvex

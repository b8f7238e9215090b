#include "game/position_key.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace quorvex {
namespace {

MoveBuffer Stones(std::initializer_list<MoveEntry> stones) {
  MoveBuffer buffer{};
  int32_t n = 0;
  for (MoveEntry stone : stones) buffer[++n] = stone;
  return buffer;
}

TEST(ComputePositionKey, GivesTheKnownKeysOfShortGames) {
  struct Case {
    const char* name;
    MoveBuffer buffer;
    int64_t key;
  };
  const Case cases[] = {
      {"no stone (800 zero bytes)", Stones({}), 7729052115359535890},
      // The digest's first byte is above 0x7F, so the key is negative.
      {"(11, 11)", Stones({{11, 11}}), -3470484881051396544},
      {"(11, 11) then (12, 12)", Stones({{11, 11}, {12, 12}}), 4573319953060784592},
  };
  for (const Case& c : cases) EXPECT_EQ(ComputePositionKey(c.buffer), c.key) << c.name;
}

TEST(ComputePositionKey, DependsOnTheOrderOfTheStones) {
  const int64_t forward = ComputePositionKey(Stones({{11, 11}, {12, 12}}));
  const int64_t reverse = ComputePositionKey(Stones({{12, 12}, {11, 11}}));
  EXPECT_NE(forward, reverse);
  EXPECT_NE(reverse, ComputePositionKey(Stones({})));
  EXPECT_NE(reverse, ComputePositionKey(Stones({{12, 12}})));
}

TEST(ComputePositionKey, HashesEntriesUpTo399Only) {
  MoveBuffer buffer = Stones({{11, 11}});
  const int64_t oneStone = ComputePositionKey(buffer);
  buffer[400] = MoveEntry{5, 6};
  buffer[410] = MoveEntry{-8, 30};
  EXPECT_EQ(ComputePositionKey(buffer), oneStone);
  buffer[399] = MoveEntry{0, 1};
  EXPECT_NE(ComputePositionKey(buffer), oneStone);
}

TEST(ComputePositionKey, TakesNegativeCoordinatesAsTheirBytes) {
  // A stone at (-8, 30) is stored as the bytes 0xF8 and 0x1E; it must give
  // a key of its own, unlike (0, 30) or (8, 30).
  const int64_t negative = ComputePositionKey(Stones({{11, 11}, {-8, 30}}));
  EXPECT_NE(negative, ComputePositionKey(Stones({{11, 11}, {0, 30}})));
  EXPECT_NE(negative, ComputePositionKey(Stones({{11, 11}, {8, 30}})));
  MoveBuffer sameBytes = Stones({{11, 11}});
  sameBytes[2] = MakeMoveEntry(248, 30);  // 248 truncates to the byte 0xF8
  EXPECT_EQ(ComputePositionKey(sameBytes), negative);
}

}  // namespace
}  // namespace quorvex

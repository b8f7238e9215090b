#include "game/game.h"

#include <gtest/gtest.h>

#include <random>

#include "game/position_key.h"

namespace quorvex {
namespace {

const int64_t kEmptyKey = ComputePositionKey(MoveBuffer{});

TEST(Game, TheDecisionsStoneIsKeyedAsItsTrialKeySaidAndTheTrialChangesNothing) {
  Game game;
  game.PlaceStone(CellOpponent, 4, 6);  // offsets +7, +5
  game.CountStoneToCome();
  const Game before = game;
  const int64_t trial = game.TrialKey(5, 7);
  EXPECT_EQ(game.MoveBuffer(), before.MoveBuffer());
  EXPECT_EQ(game.KeyHistory(), before.KeyHistory());
  EXPECT_EQ(game.PositionKey(), before.PositionKey());
  EXPECT_EQ(game.Board().cell, before.Board().cell);

  const MoveEntry entry = game.PlaceCountedStone(5, 7);
  EXPECT_EQ(entry, MakeMoveEntry(12, 12));
  EXPECT_EQ(game.PositionKey(), trial);
  EXPECT_EQ(game.KeyHistory()[2], trial);
  EXPECT_EQ(game.PrevPositionKey(), before.PositionKey());
  EXPECT_EQ(game.CheckConsistency(), "");
}

TEST(Game, OnlyTheEnginesOpeningKeysTheEmptyPosition) {
  Game game;
  game.PlaceStone(CellOpponent, 11, 11);
  EXPECT_EQ(game.KeyHistory()[0], 0) << "a game the opponent opens";
  EXPECT_EQ(game.EngineMovedFirst(), 0);
  game.NewGame(20);
  game.PlaceOpeningStone();
  EXPECT_EQ(game.KeyHistory()[0], kEmptyKey);
  EXPECT_EQ(game.EngineMovedFirst(), 1);
  EXPECT_EQ(game.MoveBuffer()[1], MakeMoveEntry(11, 11));
  game.NewGame(15);
  EXPECT_EQ(game.KeyHistory()[0], kEmptyKey) << "START leaves entry 0";
  EXPECT_EQ(game.PositionKey(), kEmptyKey);
  EXPECT_EQ(game.CheckConsistency(), "");
}

TEST(Game, AnUnrecordedStoneLeavesAnEmptyEntryInEveryLaterKey) {
  Game game;
  game.CountStoneToCome();
  game.PlaceUnrecordedStone(3, 3);
  EXPECT_EQ(game.EngineMovedFirst(), 1);
  EXPECT_EQ(game.MoveBuffer()[1], MoveEntry{});
  EXPECT_EQ(game.PositionKey(), kEmptyKey);
  game.PlaceStone(CellOpponent, 9, 9);  // stone 2: the offsets stay 0
  MoveBuffer expected{};
  expected[2] = MakeMoveEntry(9, 9);
  EXPECT_EQ(game.KeyHistory()[2], ComputePositionKey(expected));
  EXPECT_EQ(game.CheckConsistency(), "");
}

TEST(Game, AStoneShiftedOntoTheOriginIsAStoneNotAGap) {
  // Stone 1 at (12, 12) shifts by -1, -1, so (1, 1) is stored as (0, 0),
  // the entry of a stone placed unrecorded; only its key tells them apart.
  Game game;
  game.PlaceStone(CellOpponent, 12, 12);
  game.PlaceStone(CellOwn, 1, 1);
  EXPECT_EQ(game.MoveBuffer()[2], MoveEntry{});
  EXPECT_NE(game.KeyHistory()[2], 0);
  EXPECT_EQ(game.CheckConsistency(), "");
}

TEST(Game, TheCheckNamesWhatABrokenPreconditionLeftWrong) {
  Game twice;
  twice.PlaceStone(CellOpponent, 5, 5);
  twice.PlaceStone(CellOwn, 5, 5);  // an occupied point
  EXPECT_EQ(twice.CheckConsistency(), "MoveCount 2 but 1 stones");

  Game uncounted;
  uncounted.PlaceStone(CellOpponent, 5, 5);
  uncounted.PlaceCountedStone(6, 6);  // no stone counted: it overwrites stone 1
  EXPECT_EQ(uncounted.CheckConsistency(), "MoveCount 1 but 2 stones");

  Game withdrawn;
  withdrawn.PlaceStone(CellOpponent, 5, 5);
  withdrawn.PlaceStone(CellOwn, 6, 6);
  withdrawn.WithdrawCountedStone();  // nothing was counted
  EXPECT_EQ(withdrawn.CheckConsistency(), "MoveCount 1 but 2 stones");
}

TEST(Game, StaysConsistentThroughRandomGamesOfEveryKindOfStone) {
  std::mt19937 rng(7);
  for (int round = 0; round < 6; ++round) {
    Game game;
    const int32_t size = 11 + static_cast<int32_t>(rng() % 10);
    game.NewGame(size);
    if (rng() % 2) game.PlaceOpeningStone();
    const auto emptyPoint = [&](int32_t& x, int32_t& y) {
      do {
        x = 1 + static_cast<int32_t>(rng() % static_cast<uint32_t>(size));
        y = 1 + static_cast<int32_t>(rng() % static_cast<uint32_t>(size));
      } while (game.Board().at(x, y) != CellEmpty);
    };
    // Up to half the board: the check takes a key per stone.
    while (game.MoveCount() < size * size / 2) {
      int32_t x = 0, y = 0;
      emptyPoint(x, y);
      switch (rng() % 4) {
        case 0:
          game.PlaceStone(CellOpponent, x, y);
          break;
        case 1:
          game.PlaceStone(CellOwn, x, y);
          break;
        default:
          game.CountStoneToCome();
          if (game.MoveCount() == 1 || rng() % 8 == 0) {
            game.PlaceUnrecordedStone(x, y);
          } else {
            game.PlaceCountedStone(x, y);
          }
      }
      ASSERT_EQ(game.CheckConsistency(), "") << "round " << round << ", stone " << game.MoveCount();
    }
  }
}

}  // namespace
}  // namespace quorvex

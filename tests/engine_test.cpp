// Whole games of two engines against each other, refereed move by move.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "game/board.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

using test::Conversation;

enum class Opening { Begin, Turn, Listing };

struct Stone {
  int32_t x, y;  // protocol coordinates
  int player;    // 0 or 1
};

class Referee {
 public:
  Referee(Conversation& first, Conversation& second, int32_t size, std::mt19937& rng)
      : brains_{&first, &second}, size_(size), rng_(rng) {
    ClearBoard(board_, size);
  }

  // Plays one game to its end; returns the winner (0, 1) or -1 for a draw.
  int Play(Opening opening) {
    for (Conversation* brain : brains_) {
      EXPECT_EQ(brain->Ask("START " + std::to_string(size_)), "OK");
      brain->Ask("INFO timeout_turn 20");
    }
    int toMove = 0;
    switch (opening) {
      case Opening::Begin:
        if (!Accept(0, brains_[0]->Ask("BEGIN"))) return Forfeit();
        toMove = 1;
        break;
      case Opening::Turn: {
        // Player 1 opens somewhere at random; player 0 hears of it by TURN,
        // player 1 learns of the board by a listing at its first move.
        const Stone opener = RandomEmpty(1);
        Put(opener);
        if (!Accept(0, brains_[0]->Ask("TURN " + Text(opener)))) return Forfeit();
        if (!Accept(1, SendListing(1))) return Forfeit();
        toMove = 0;
        break;
      }
      case Opening::Listing: {
        const int stones = 2 + static_cast<int>(rng_() % 5);
        for (int i = 0; i < stones; ++i) Put(RandomEmpty(i % 2));
        if (!Accept(stones % 2, SendListing(stones % 2))) return Forfeit();
        const int other = 1 - stones % 2;
        if (!Accept(other, SendListing(other))) return Forfeit();
        toMove = stones % 2;
        break;
      }
    }
    while (winner_ < 0 && !Full()) {
      const Stone& last = history_.back();
      if (!Accept(toMove, brains_[toMove]->Ask("TURN " + Text(last)))) return Forfeit();
      toMove = 1 - toMove;
    }
    return winner_;
  }

  bool ended_by_five() const { return winner_ >= 0; }
  bool full() const { return Full(); }
  int moves() const { return static_cast<int>(history_.size()); }

 private:
  static std::string Text(const Stone& s) { return std::to_string(s.x) + "," + std::to_string(s.y); }

  bool Full() const { return static_cast<int32_t>(history_.size()) == size_ * size_; }

  int Forfeit() {
    forfeited_ = true;
    return -2;
  }

  Stone RandomEmpty(int player) {
    for (;;) {
      const auto x = static_cast<int32_t>(rng_() % static_cast<uint32_t>(size_));
      const auto y = static_cast<int32_t>(rng_() % static_cast<uint32_t>(size_));
      if (board_.at(x + 1, y + 1) == CellEmpty) return Stone{x, y, player};
    }
  }

  void Put(const Stone& s) {
    board_.at(s.x + 1, s.y + 1) = s.player == 0 ? CellOwn : CellOpponent;
    history_.push_back(s);
    if (IsFiveAt(board_.at(s.x + 1, s.y + 1), board_, s.x + 1, s.y + 1)) winner_ = s.player;
  }

  std::string SendListing(int player) {
    EXPECT_EQ(brains_[player]->Say("BOARD"), "");
    for (const Stone& s : history_)
      brains_[player]->Say(Text(s) + "," + (s.player == player ? "1" : "2"));
    return brains_[player]->Ask("DONE");
  }

  // Checks a reply is a legal empty point and plays it.
  bool Accept(int player, const std::string& reply) {
    const auto comma = reply.find(',');
    if (comma == std::string::npos || reply.find_first_not_of("0123456789,") != std::string::npos) {
      ADD_FAILURE() << "player " << player << " replied '" << reply << "' after " << history_.size();
      return false;
    }
    const Stone s{std::stoi(reply.substr(0, comma)), std::stoi(reply.substr(comma + 1)), player};
    if (s.x >= size_ || s.y >= size_ || board_.at(s.x + 1, s.y + 1) != CellEmpty) {
      ADD_FAILURE() << "player " << player << " played " << reply << ", not an empty point";
      return false;
    }
    Put(s);
    const std::string fault = brains_[player]->engine().game().CheckConsistency();
    if (!fault.empty()) {
      ADD_FAILURE() << "player " << player << " after " << reply << ": " << fault;
      return false;
    }
    return true;
  }

  Conversation* brains_[2];
  int32_t size_;
  std::mt19937& rng_;
  Board board_;
  std::vector<Stone> history_;
  int winner_ = -1;
  bool forfeited_ = false;
};

TEST(SelfPlay, EnginesPlayWholeGamesOfEveryOpening) {
  std::mt19937 rng(20261208);
  int games = 0;
  int fives = 0;
  for (uint32_t pair = 0; pair < 6; ++pair) {
    // Two brains that keep their stores for four games, as a brain keeps
    // its experience from START to START.
    Conversation a(100 + pair, MillisecondClock);
    Conversation b(200 + pair, MillisecondClock);
    for (int game = 0; game < 4; ++game) {
      const auto opening = static_cast<Opening>((pair + static_cast<uint32_t>(game)) % 3);
      const int32_t size = game == 3 ? 15 : 20;
      Referee referee(game % 2 ? b : a, game % 2 ? a : b, size, rng);
      const int result = referee.Play(opening);
      ASSERT_NE(result, -2) << "pair " << pair << " game " << game;
      EXPECT_TRUE(referee.ended_by_five() || referee.full());
      ++games;
      fives += referee.ended_by_five() ? 1 : 0;
    }
  }
  EXPECT_EQ(games, 24);
  EXPECT_GT(fives, 0);
}

}  // namespace
}  // namespace quorvex

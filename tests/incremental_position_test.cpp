// The engine's searcher against the plain one, on every position of whole
// games between two engines: the same root moves, values and node counts,
// time-outs included; and the ranking kept up to date along the game
// against the full scan.

#include <gtest/gtest.h>

#include <string>

#include "eval/incremental_ranker.h"
#include "eval/rank_candidates.h"
#include "search/threat_search.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

// A clock that advances by one at every reading, so a time limit is a
// number of nodes and both searchers meet it at the same node.
struct CountingClock {
  int32_t now = 0;
  std::function<int32_t()> Function() {
    return [this] { return ++now; };
  }
};

class SearchEquivalenceTest : public ::testing::Test {
 protected:
  SearchEquivalenceTest() { BuildTemplates(tables_); }

  // Searches `board` from `last` with both searchers, each limited to the
  // same number of clock readings.
  void ExpectSameSearch(const Board& board, const MoveRecord& last, const std::string& where) {
    fastClock_.now = 0;
    plainClock_.now = 0;
    fast_.SetTimeLimit(0, kReadings);
    plain_.SetTimeLimit(0, kReadings);
    MoveList fastResults;
    MoveList plainResults;
    const int64_t fastBefore = fast_.Nodes();
    const int64_t plainBefore = plain_.Nodes();
    const int32_t n = fast_.ThreatSearch(last, CellOpponent, board, 0, RootAlpha, RootBeta, fastResults, SearchDepthLimit);
    ASSERT_EQ(plain_.ThreatSearch(last, CellOpponent, board, 0, RootAlpha, RootBeta, plainResults, SearchDepthLimit), n)
        << where;
    ASSERT_EQ(fast_.Nodes() - fastBefore, plain_.Nodes() - plainBefore) << where;
    for (int32_t i = 1; i <= n; ++i) {
      ASSERT_TRUE(fastResults[i].x == plainResults[i].x && fastResults[i].y == plainResults[i].y &&
                  fastResults[i].score == plainResults[i].score)
          << where << ", root move " << i;
    }
    searchedNodes_ += fast_.Nodes() - fastBefore;
  }

  static constexpr int32_t kReadings = 4000;
  TemplateTables tables_;
  CandidateRanker ranker_{tables_};
  CountingClock fastClock_;
  CountingClock plainClock_;
  std::function<int32_t()> fastTime_ = fastClock_.Function();
  std::function<int32_t()> plainTime_ = plainClock_.Function();
  ThreatSearcher fast_{ranker_, fastTime_};
  PlainThreatSearcher plain_{ranker_, plainTime_};
  int64_t searchedNodes_ = 0;
};

TEST_F(SearchEquivalenceTest, EveryPositionOfSelfPlayGamesSearchesAndRanksAlike) {
  int32_t positions = 0;
  for (uint32_t game = 0; game < 12; ++game) {
    // Engines on a clock of their own that counts readings, so the games
    // are the same on every run.
    CountingClock clockA;
    CountingClock clockB;
    test::Conversation a(10 + game, clockA.Function());
    test::Conversation b(20 + game, clockB.Function());
    const int32_t size = game % 3 == 2 ? 15 : 20;
    for (test::Conversation* brain : {&a, &b}) {
      ASSERT_EQ(brain->Ask("START " + std::to_string(size)), "OK");
      brain->Ask("INFO timeout_turn 500");
    }
    // The referee's board: a's stones CellOwn, b's CellOpponent.
    Board board;
    ClearBoard(board, size);
    IncrementalRanker tracked(tables_);
    tracked.Reset(board);
    std::string reply = a.Ask("BEGIN");
    bool aMoved = true;
    for (int32_t ply = 1; ply <= size * size; ++ply) {
      const auto comma = reply.find(',');
      ASSERT_NE(comma, std::string::npos) << reply;
      MoveRecord last;
      last.x = std::stoi(reply.substr(0, comma)) + 1;
      last.y = std::stoi(reply.substr(comma + 1)) + 1;
      ASSERT_TRUE(board.IsPlayable(last.x, last.y) && board.at(last.x, last.y) == CellEmpty) << reply;
      const int32_t code = aMoved ? CellOwn : CellOpponent;
      board.at(last.x, last.y) = code;
      tracked.SetCell(last.x, last.y, code);
      const std::string where = "game " + std::to_string(game) + ", ply " + std::to_string(ply);

      for (const int32_t side : {CellOwn, CellOpponent}) {
        for (const int32_t level : {1, FullListLevel}) {
          MoveList expected;
          MoveList got;
          ranker_.RankCandidates(board, expected, level, side);
          tracked.RankCandidates(got, level, side);
          ASSERT_EQ(got.size(), expected.size()) << where;
          for (std::size_t i = 0; i < got.size(); ++i) {
            ASSERT_TRUE(got[i].x == expected[i].x && got[i].y == expected[i].y && got[i].score == expected[i].score &&
                        got[i].side == expected[i].side && got[i].mine == expected[i].mine)
                << where << ", entry " << i;
          }
        }
      }
      // The search the side to move would run: its opponent made the last
      // stone, so the colours are those of the side to move.
      Board seen = board;
      if (aMoved) {
        for (int32_t x = 1; x <= size; ++x) {
          for (int32_t y = 1; y <= size; ++y) {
            if (seen.at(x, y) == CellOwn || seen.at(x, y) == CellOpponent) seen.at(x, y) = CellOwn + CellOpponent - seen.at(x, y);
          }
        }
      }
      ExpectSameSearch(seen, last, where);
      if (HasFatalFailure()) return;
      ++positions;

      if (IsFiveAt(code, board, last.x, last.y)) break;
      test::Conversation& next = aMoved ? b : a;
      reply = next.Ask("TURN " + std::to_string(last.x - 1) + "," + std::to_string(last.y - 1));
      aMoved = !aMoved;
    }
  }
  EXPECT_GT(positions, 100);
  EXPECT_GT(searchedNodes_, 10'000) << "the searches went beyond their roots";
}

}  // namespace
}  // namespace quorvex

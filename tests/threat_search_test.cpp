#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "eval/rank_candidates.h"
#include "eval/scores.h"
#include "eval/templates.h"
#include "search/threat_search.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

// Positions are written as stone lists: "X:x,y" is the engine's stone,
// "O:x,y" the opponent's, internal coordinates (1..20).
class ThreatSearchTest : public ::testing::Test {
 protected:
  ThreatSearchTest() { BuildTemplates(tables_); }

  Board Position(const char* stones) {
    Board board;
    ClearBoard(board, DefaultBoardSize);
    test::PutStones(board, stones);
    return board;
  }

  // Searches from the opponent's last stone at (x, y) as the move decision
  // does; returns the root moves.
  MoveList Search(const Board& board, int32_t x, int32_t y, int32_t limitMs = 1 << 30) {
    searcher_.SetTimeLimit(0, limitMs);
    MoveRecord last;
    last.x = x;
    last.y = y;
    MoveList results;
    const int32_t n =
        searcher_.ThreatSearch(last, CellOpponent, board, 0, RootAlpha, RootBeta, results, SearchDepthLimit);
    results.resize(n + 1);
    return results;
  }

  std::pair<int32_t, int32_t> Point(const MoveRecord& r) { return {r.x, r.y}; }

  TemplateTables tables_;
  CandidateRanker ranker_{tables_};
  int32_t now_ = 0;
  std::function<int32_t()> clock_ = [this] { return now_; };
  ThreatSearcher searcher_{ranker_, clock_};
};

TEST_F(ThreatSearchTest, TheEnginesFiveAnswersAloneWithoutSearching) {
  const Board board = Position("X:5,5 X:6,5 X:7,5 X:8,5 O:5,6 O:6,6 O:7,6 O:12,12");
  const int64_t before = searcher_.Nodes();
  const MoveList results = Search(board, 12, 12);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_TRUE(Point(results[1]) == std::make_pair(9, 5) || Point(results[1]) == std::make_pair(4, 5));
  EXPECT_EQ(results[1].score, 0);
  EXPECT_EQ(searcher_.Nodes() - before, 1) << "only the root is entered";
}

TEST_F(ThreatSearchTest, TheOpponentsFourIsBlockedAlone) {
  const Board board = Position("O:5,5 O:6,5 O:7,5 O:8,5 X:5,6 X:3,3 X:4,8 X:9,5");
  const MoveList results = Search(board, 8, 5);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(Point(results[1]), std::make_pair(4, 5));
  EXPECT_EQ(results[1].score, 0);
}

TEST_F(ThreatSearchTest, AQuietPositionAnswersItsBestCandidate) {
  // One stone each: twos and ones only, nothing of 60 or more.
  const Board board = Position("X:10,10 O:12,12");
  MoveList full;
  ranker_.RankCandidates(board, full, FullListLevel, CellOpponent);
  const MoveList results = Search(board, 12, 12);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(Point(results[1]), Point(full[1]));
  EXPECT_EQ(results[1].score, 0);
}

TEST_F(ThreatSearchTest, OnlyTheOpponentsClosedThreesCountAsQuiet) {
  // The opponent's closed three scores exactly 60: not a threat at the root.
  const Board board = Position("X:4,5 O:5,5 O:6,5 O:7,5 X:15,15");
  const MoveList results = Search(board, 7, 5);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[1].score, 0);
}

TEST_F(ThreatSearchTest, TheEnginesThreesComeBeforeTheOpponentsEachPointOnce) {
  // Engine: open threes on row 5 (x 8..10) and column 11 (y 6..8) that
  // share the point (11, 5). Opponent: an open three on row 12.
  const Board board = Position("X:8,5 X:9,5 X:10,5 X:11,6 X:11,7 X:11,8 O:8,12 O:9,12 O:10,12");
  MoveList full;
  ranker_.RankCandidates(board, full, FullListLevel, CellOpponent);
  int sharedThrees = 0;
  for (int32_t i = 1; i <= ListCount(full); ++i)
    sharedThrees += full[i].x == 11 && full[i].y == 5 && full[i].score >= ClosedThreeScore;
  ASSERT_EQ(sharedThrees, 2) << "the shared point is listed once per three";

  const MoveList results = Search(board, 10, 12);
  ASSERT_GE(results.size(), 2u);
  std::set<std::pair<int32_t, int32_t>> seen;
  for (std::size_t i = 1; i < results.size(); ++i) {
    EXPECT_NE(results[i].y, 12) << "the opponent's three is not searched";
    EXPECT_TRUE(seen.insert(Point(results[i])).second) << "a point enters the root moves once";
  }
  EXPECT_TRUE(seen.count({11, 5}));
}

TEST_F(ThreatSearchTest, OpenThreeToOpenFourIsAWinAtDepthFour) {
  // The engine's open three becomes an open four; whichever end the
  // opponent blocks, the next stone makes five at depth 4.
  const Board board = Position("X:9,10 X:10,10 X:11,10 O:3,17 O:17,3");
  const MoveList results = Search(board, 17, 3);
  bool found = false;
  for (std::size_t i = 1; i < results.size(); ++i) {
    const auto p = Point(results[i]);
    if (p == std::make_pair(8, 10) || p == std::make_pair(12, 10)) {
      EXPECT_EQ(results[i].score, 46000) << p.first << "," << p.second;
      found = true;
    }
  }
  EXPECT_TRUE(found);
}

TEST_F(ThreatSearchTest, AForcedBlockIntoAnOpenFourLosesAtDepthFive) {
  // Row 5: O X X X . . — playing (6,5) makes a four that the opponent must
  // block at (7,5), which turns its own column 6..8 into an open four.
  const Board board = Position("O:2,5 X:3,5 X:4,5 X:5,5 O:7,6 O:7,7 O:7,8");
  const MoveList results = Search(board, 7, 8);
  bool lost = false;
  for (std::size_t i = 1; i < results.size(); ++i) {
    if (Point(results[i]) == std::make_pair(6, 5)) {
      EXPECT_EQ(results[i].score, -45000);
      lost = true;
    } else {
      EXPECT_TRUE(results[i].score == 0 || results[i].score > 1000 || results[i].score < -1000)
          << "small values are cleared at the root";
    }
  }
  EXPECT_TRUE(lost);
}

TEST_F(ThreatSearchTest, RootMovesAfterTheTimeLimitComeBackTimedOut) {
  const Board board = Position("X:9,10 X:10,10 X:11,10 X:4,4 X:5,5 O:3,17 O:17,3 O:16,4");
  const MoveList unlimited = Search(board, 16, 4);
  ASSERT_GE(unlimited.size(), 3u) << "needs at least two root moves";

  // Count the clock readings the first root move's subtree takes, then let
  // the clock be one reading per millisecond and the limit exactly that.
  int32_t readings = 0;
  clock_ = [&] { return ++readings; };
  MoveList scratch;
  Board afterLast = board;
  afterLast.at(16, 4) = CellOpponent;
  searcher_.SetTimeLimit(0, 1 << 30);
  searcher_.ThreatSearch(unlimited[1], CellOwn, afterLast, 1, RootAlpha, RootBeta, scratch,
                         SearchDepthLimit);
  const int32_t firstSubtree = readings;

  readings = 0;
  const MoveList limited = Search(board, 16, 4, firstSubtree);
  ASSERT_EQ(limited.size(), unlimited.size());
  EXPECT_EQ(limited[1].score, unlimited[1].score) << "searched within the limit";
  for (std::size_t i = 2; i < limited.size(); ++i) EXPECT_EQ(limited[i].score, TimeUpScore) << i;
}

TEST_F(ThreatSearchTest, PastTheLimitEveryChildGivesUpAtOnce) {
  const Board board = Position("X:9,10 X:10,10 X:11,10 O:3,17 O:17,3");
  now_ = 1'000'000;
  const int64_t before = searcher_.Nodes();
  const MoveList results = Search(board, 17, 3, 0);
  ASSERT_GE(results.size(), 2u);
  for (std::size_t i = 1; i < results.size(); ++i) EXPECT_EQ(results[i].score, TimeUpScore);
  EXPECT_EQ(searcher_.Nodes() - before, static_cast<int64_t>(results.size()))
      << "the root and one node per root move";
}

TEST_F(ThreatSearchTest, ADepthLimitOfZeroStillExpandsTheRootSafely) {
  // The root always expands, so its children lie one level below even a
  // limit of 0; a fresh searcher must have room for them before they run.
  const Board board = Position("X:10,11 X:11,11 X:12,11 O:5,5");
  MoveRecord last;
  last.x = 5;
  last.y = 5;
  MoveList results;
  searcher_.SetTimeLimit(0, 1 << 30);
  const int32_t n = searcher_.ThreatSearch(last, CellOpponent, board, 0, RootAlpha, RootBeta, results, 0);
  ASSERT_EQ(n, 2);
  for (int32_t i = 1; i <= n; ++i) EXPECT_EQ(results[i].score, 0);
}

TEST_F(ThreatSearchTest, ADepthLimitOfOneValuesTheFirstCandidate) {
  // With maxDepth 1 each child at depth 2 returns its list's best score, a
  // template score that the root clears to 0.
  const Board board = Position("X:9,10 X:10,10 X:11,10 O:3,17 O:17,3");
  searcher_.SetTimeLimit(0, 1 << 30);
  MoveRecord last;
  last.x = 17;
  last.y = 3;
  MoveList results;
  const int32_t n = searcher_.ThreatSearch(last, CellOpponent, board, 0, RootAlpha, RootBeta, results, 1);
  ASSERT_GE(n, 1);
  for (int32_t i = 1; i <= n; ++i) EXPECT_EQ(results[i].score, 0);
}

}  // namespace
}  // namespace quorvex

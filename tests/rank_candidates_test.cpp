#include "eval/rank_candidates.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "eval/scores.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

using test::BoardFromRows;
using test::PutStones;

struct Point {
  int32_t x, y, score;
  bool operator==(const Point&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Point& p) {
  return out << "(" << p.x << "," << p.y << ")=" << p.score;
}

std::vector<Point> Points(const MoveList& list) {
  std::vector<Point> points;
  for (int32_t i = 1; i <= ListCount(list); ++i) points.push_back({list[i].x, list[i].y, list[i].score});
  return points;
}

class RankCandidatesTest : public ::testing::Test {
 protected:
  RankCandidatesTest() { BuildTemplates(tables); }

  // Ranks `board` and checks the list's frame: entry 0 holds the count and
  // nothing else, the vector holds exactly the counted entries, and the
  // result is 0 for a full listing and -1 for a selection.
  MoveList Rank(const Board& board, int32_t level, int32_t side = CellOwn) {
    MoveList list(3, MoveRecord{.x = 99, .y = 99, .score = 99});  // stale contents must go
    const int32_t result = ranker.RankCandidates(board, list, level, side);
    EXPECT_EQ(result, level == FullListLevel ? 0 : -1);
    EXPECT_FALSE(list.empty());
    if (list.empty()) return list;
    EXPECT_EQ(list.size(), static_cast<std::size_t>(ListCount(list)) + 1);
    EXPECT_EQ(list[0].x, 0);
    EXPECT_EQ(list[0].y, 0);
    EXPECT_EQ(list[0].side, 0);
    for (std::size_t i = 1; i < list.size(); ++i) {
      EXPECT_EQ(list[i].direction, 0);
      EXPECT_EQ(list[i].templateNo, 0);
      EXPECT_EQ(list[i].bonus, 0);
    }
    return list;
  }

  TemplateTables tables;
  CandidateRanker ranker{tables};
};

TEST_F(RankCandidatesTest, EmptyBoardHasNoCandidates) {
  const Board board = BoardFromRows({});
  EXPECT_EQ(ListCount(Rank(board, 1)), 0);
  EXPECT_EQ(ListCount(Rank(board, FullListLevel)), 0);
}

// . . .        the engine's lone stone at (11, 11): "NSBSNN" fits once
// . X .        along each line and proposes the two neighbours on it
// . . .
TEST_F(RankCandidatesTest, LoneStoneProposesItsEightNeighboursInAFixedOrder) {
  Board board = BoardFromRows({});
  PutStones(board, "X:11,11");
  const std::vector<Point> expected = {{11, 12, 30}, {11, 10, 30}, {10, 12, 30}, {12, 10, 30},
                                       {12, 12, 30}, {10, 10, 30}, {12, 11, 30}, {10, 11, 30}};
  for (int32_t level : {1, FullListLevel}) {
    const MoveList list = Rank(board, level);
    EXPECT_EQ(Points(list), expected) << "level " << level;
    for (int32_t i = 1; i <= ListCount(list); ++i) {
      EXPECT_EQ(list[i].side, CellOwn);
      EXPECT_EQ(list[i].mine, 1);
    }
  }
  // The same shape seen for the other player: not `mine`, still the engine's.
  const MoveList theirs = Rank(board, 1, CellOpponent);
  EXPECT_EQ(Points(theirs), expected);
  for (int32_t i = 1; i <= ListCount(theirs); ++i) {
    EXPECT_EQ(theirs[i].side, CellOwn);
    EXPECT_EQ(theirs[i].mine, 0);
  }
}

TEST_F(RankCandidatesTest, OpponentStoneIsTheColourExchangedShape) {
  Board board = BoardFromRows({});
  PutStones(board, "O:11,11");
  const MoveList list = Rank(board, 1, CellOwn);
  ASSERT_EQ(ListCount(list), 8);
  EXPECT_EQ(Points(list)[0], (Point{11, 12, 30}));
  for (int32_t i = 1; i <= 8; ++i) {
    EXPECT_EQ(list[i].side, CellOpponent);
    EXPECT_EQ(list[i].mine, 0);
  }
}

// Row 11:  . . . X X X . . .   (10..12, 11)
// The open three's two ends score 70; the 30s of the single stones on the
// other lines fill the list up to the cap.
TEST_F(RankCandidatesTest, OpenThreeListsBothEndsThenTwosUpToTheCap) {
  Board board = BoardFromRows({});
  PutStones(board, "X:10,11 X:11,11 X:12,11");
  const std::set<std::pair<int32_t, int32_t>> neighbours = {
      {10, 10}, {10, 12}, {11, 10}, {11, 12}, {12, 10}, {12, 12}, {9, 10}, {9, 12}, {13, 10}, {13, 12}};
  const MoveList full = Rank(board, 1);
  const std::vector<Point> points = Points(full);
  ASSERT_EQ(points.size(), 12u);
  EXPECT_EQ(points[0], (Point{13, 11, 70}));
  EXPECT_EQ(points[1], (Point{9, 11, 70}));
  std::set<std::pair<int32_t, int32_t>> seen;
  for (std::size_t i = 2; i < points.size(); ++i) {
    EXPECT_EQ(points[i].score, 30) << points[i];
    seen.insert({points[i].x, points[i].y});
  }
  EXPECT_EQ(seen, neighbours);

  // A smaller cap cuts the same ranking shorter.
  struct Case {
    int32_t level;
    std::size_t length;
  };
  for (const Case c : {Case{2, 10}, Case{3, 8}, Case{4, 8}, Case{5, 6}, Case{40, 6}}) {
    const std::vector<Point> capped = Points(Rank(board, c.level));
    ASSERT_EQ(capped.size(), c.length) << "level " << c.level;
    EXPECT_TRUE(std::equal(capped.begin(), capped.end(), points.begin())) << "level " << c.level;
  }
}

TEST_F(RankCandidatesTest, OpenThreeEndsTheListAtTheFirstTwo) {
  // With a two elsewhere the walk stops at its first 50: neither the 50s
  // nor the 30s below them are listed, whatever the cap.
  Board board = BoardFromRows({});
  PutStones(board, "X:10,11 X:11,11 X:12,11 X:4,4 X:5,4");
  using PointSet = std::set<std::pair<int32_t, int32_t>>;
  for (int32_t level : {1, 5}) {
    const std::vector<Point> points = Points(Rank(board, level));
    ASSERT_EQ(points.size(), 2u) << "level " << level;
    EXPECT_EQ(points[0].score, 70);
    EXPECT_EQ(points[1].score, 70);
    EXPECT_EQ((PointSet{{points[0].x, points[0].y}, {points[1].x, points[1].y}}), (PointSet{{13, 11}, {9, 11}}));
  }
}

// Row 11:  . . X X X X . .   (10..13, 11): both ends make five.
TEST_F(RankCandidatesTest, OpenFourListsBothEndsAndOnlyLowPointsAfterThem) {
  Board board = BoardFromRows({});
  PutStones(board, "X:10,11 X:11,11 X:12,11 X:13,11");
  const std::vector<Point> points = Points(Rank(board, 1));
  ASSERT_EQ(points.size(), 12u);
  EXPECT_EQ(points[0], (Point{14, 11, 190}));
  EXPECT_EQ(points[1], (Point{9, 11, 190}));
  for (std::size_t i = 2; i < points.size(); ++i) EXPECT_EQ(points[i].score, 30) << points[i];

  // With a two elsewhere on the board, the first point between 50 and 179
  // ends the list right after the fours (whose order the sort may change).
  PutStones(board, "X:4,4 X:5,4");
  ASSERT_GE(ListCount(Rank(board, FullListLevel)), 20);
  const std::vector<Point> fours = Points(Rank(board, 1));
  ASSERT_EQ(fours.size(), 2u);
  using PointSet = std::set<std::pair<int32_t, int32_t>>;
  EXPECT_EQ((PointSet{{fours[0].x, fours[0].y}, {fours[1].x, fours[1].y}}), (PointSet{{14, 11}, {9, 11}}));
  EXPECT_EQ(fours[0].score + fours[1].score, 380);
}

//        x=10 11 12
// y = 9   .  .  X
// y = 10  .  .  X
// y = 11  X  X  +      (12, 11) closes both twos
TEST_F(RankCandidatesTest, CrossingTwosRaiseOnlyTheEarlierLine) {
  Board board = BoardFromRows({});
  PutStones(board, "X:10,11 X:11,11 X:12,9 X:12,10");

  const std::vector<Point> points = Points(Rank(board, 1));
  ASSERT_EQ(points.size(), 12u);
  EXPECT_EQ(points[0], (Point{12, 11, 65}));
  std::set<std::pair<int32_t, int32_t>> others;
  for (std::size_t i = 1; i < points.size(); ++i) {
    EXPECT_EQ(points[i].score, 50) << points[i];
    others.insert({points[i].x, points[i].y});
  }
  EXPECT_EQ(others.size(), 11u);
  EXPECT_EQ(others.count({12, 11}), 0u);

  // Unmerged, (12, 11) shows all six of its candidates: the three of the
  // row took the bonus, the three of the column found only spent partners.
  int32_t raised = 0;
  int32_t plain = 0;
  for (const Point& p : Points(Rank(board, FullListLevel))) {
    if (p.x != 12 || p.y != 11) continue;
    raised += p.score == 65;
    plain += p.score == 50;
  }
  EXPECT_EQ(raised, 3);
  EXPECT_EQ(plain, 3);
}

TEST_F(RankCandidatesTest, CrossingShapesOfDifferentSidesEarnNoBonus) {
  Board board = BoardFromRows({});
  PutStones(board, "X:10,11 X:11,11 O:12,9 O:12,10");
  for (const Point& p : Points(Rank(board, FullListLevel))) {
    EXPECT_NE(p.score % 10, 5) << p;
  }
}

// Three separate pairs, no three anywhere:
//   (4,4)-(5,4)   (12,4)-(13,4)   (4,14)-(5,14)
// The first two sets FirstLowScore to 50, and a two is never below it, so
// every point of 50 is listed whatever the cap; only the 30s are capped.
TEST_F(RankCandidatesTest, TwosAloneRunPastTheCap) {
  Board board = BoardFromRows({});
  PutStones(board, "X:4,4 X:5,4 X:12,4 X:13,4 X:4,14 X:5,14");
  for (int32_t level : {1, 5}) {
    const std::vector<Point> points = Points(Rank(board, level));
    ASSERT_EQ(points.size(), 12u) << "level " << level;
    for (const Point& p : points) EXPECT_EQ(p.score, 50) << p << " level " << level;
  }
}

// Shapes against the edge: the ring reads as E, and a window that would
// need a cell beyond it fits nothing.
TEST_F(RankCandidatesTest, WindowsThroughTheRingMatchNothing) {
  // A lone stone in the corner has no line with room on both sides.
  Board corner = BoardFromRows({});
  PutStones(corner, "X:20,20");
  EXPECT_EQ(ListCount(Rank(corner, FullListLevel)), 0);
  Board origin = BoardFromRows({});
  PutStones(origin, "X:1,1");
  EXPECT_EQ(ListCount(Rank(origin, FullListLevel)), 0);

  // On the edge only the line along the edge has room.
  Board edge = BoardFromRows({});
  PutStones(edge, "X:20,11");
  EXPECT_EQ(Points(Rank(edge, FullListLevel)), (std::vector<Point>{{20, 12, 30}, {20, 10, 30}}));

  // A small board: its ring stops the row at x = 12, so the pair at 10, 11
  // is a two against the edge ("NSSBBE", 40), never an open two. No
  // candidate lies on or past the ring.
  Board small = BoardFromRows({}, 11);
  PutStones(small, "X:10,3 X:11,3");
  bool sawEdgeTwo = false;
  for (const Point& p : Points(Rank(small, FullListLevel))) {
    EXPECT_TRUE(small.IsPlayable(p.x, p.y)) << p;
    EXPECT_NE(p.score, 50) << p;
    if (p.y == 3 && p.score == 40) sawEdgeTwo = true;
  }
  EXPECT_TRUE(sawEdgeTwo);
}

TEST_F(RankCandidatesTest, FiveInARowIsNoCandidateShape) {
  // The five itself fits no template; only the ends' neighbours on other
  // lines remain, each as a lone stone's 30.
  Board board = BoardFromRows({});
  PutStones(board, "X:8,11 X:9,11 X:10,11 X:11,11 X:12,11");
  for (const Point& p : Points(Rank(board, FullListLevel))) {
    EXPECT_NE(p.y, 11) << p;
    EXPECT_EQ(p.score, 30) << p;
  }
}

TEST(CandidateRanker, ReadsTheTablesAtCallTimeNotAtConstruction) {
  TemplateTables tables;
  CandidateRanker ranker{tables};  // as the engine does: before the tables are built
  BuildTemplates(tables);
  Board board = BoardFromRows({});
  PutStones(board, "X:11,11");
  MoveList list;
  ranker.RankCandidates(board, list, 1, CellOwn);
  EXPECT_EQ(ListCount(list), 8);
}

TEST_F(RankCandidatesTest, ReusedListKeepsItsStorage) {
  Board board = BoardFromRows({});
  PutStones(board, "X:10,11 O:11,11 X:12,10 O:12,12 X:9,9 O:13,13 X:10,10 O:11,12");
  MoveList list;
  ranker.RankCandidates(board, list, FullListLevel, CellOwn);
  const MoveRecord* storage = list.data();
  const std::size_t capacity = list.capacity();
  for (int32_t level : {1, 3, FullListLevel, 5}) {
    ranker.RankCandidates(board, list, level, CellOpponent);
    EXPECT_EQ(list.data(), storage);
    EXPECT_EQ(list.capacity(), capacity);
  }
}

}  // namespace
}  // namespace quorvex

// Seeded random positions, of every board size, checked two ways: against
// a plain ranking written straight from the rules (every window origin,
// per-score buckets of their own, the crossing pass over all pairs), and
// against the rules that the full listing and the selection must obey.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "eval/candidate_selection.h"
#include "eval/candidate_sort.h"
#include "eval/rank_candidates.h"
#include "eval/scores.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

// The ranking as plainly as it can be written; the ranker's own scan,
// grouping and crossing pass must give exactly this. The sort and the
// selection are shared: they are checked by the rules below and by the
// worked positions.
struct PlainRanking {
  const TemplateTables& tables;
  std::size_t largestBucket = 0;

  int32_t Rank(const Board& board, MoveList& list, int32_t level, int32_t side) {
    static constexpr int32_t kDx[5] = {0, 1, 0, 1, -1};
    static constexpr int32_t kDy[5] = {0, 0, 1, 1, 1};
    std::vector<std::vector<MoveRecord>> buckets(201);
    for (int32_t x = 0; x <= 21; ++x) {
      for (int32_t y = 0; y <= 21; ++y) {
        for (int32_t d = 1; d <= 4; ++d) {
          if (d == 4 && (x < 5 || y > 16)) continue;
          int32_t key = 0;
          for (int32_t k = 0; k < 6; ++k) key = key * 4 + board.at(x + k * kDx[d], y + k * kDy[d]);
          const int32_t t = tables.TemplateLookup[static_cast<std::size_t>(key)];
          if (t == 0) continue;
          MoveRecord entry;
          entry.x = x;
          entry.y = y;
          entry.direction = d;
          entry.templateNo = t;
          buckets[static_cast<std::size_t>(tables.TemplateTable[static_cast<std::size_t>(t)].score)].push_back(entry);
        }
      }
    }
    std::vector<MoveRecord> c(1);
    for (int32_t s = 200; s >= 1; --s) {
      largestBucket = std::max(largestBucket, buckets[static_cast<std::size_t>(s)].size());
      for (const MoveRecord& w : buckets[static_cast<std::size_t>(s)]) {
        const PatternTemplate& t = tables.TemplateTable[static_cast<std::size_t>(w.templateNo)];
        for (int32_t k = 1; k <= t.moveCount; ++k) {
          const int32_t o = t.moveOffsets[static_cast<std::size_t>(k)];
          MoveRecord m;
          m.x = w.x + o * kDx[w.direction];
          m.y = w.y + o * kDy[w.direction];
          m.score = s;
          m.direction = w.direction;
          m.side = t.side;
          m.mine = t.side == side ? 1 : 0;
          c.push_back(m);
        }
      }
    }
    const auto n = static_cast<int32_t>(c.size()) - 1;
    for (int32_t a = 1; a <= n; ++a) {
      for (int32_t b = 1; b <= n; ++b) {
        MoveRecord& ca = c[static_cast<std::size_t>(a)];
        const MoveRecord& cb = c[static_cast<std::size_t>(b)];
        if (ca.x == cb.x && ca.y == cb.y && ca.direction != cb.direction && ca.bonus == 0 &&
            (ca.score == TwoScore || ca.score == ClosedThreeScore || ca.score == OpenThreeScore) &&
            cb.bonus == 0 && cb.side == ca.side && cb.score >= TwoScore) {
          ca.score += CrossingBonus;
          ca.bonus = 1;
        }
      }
    }
    SortByScoreDescending(c.data(), 1, n);
    if (level == FullListLevel) {
      ListAllCandidates(c.data(), n, list);
      return 0;
    }
    SelectCandidates(c.data(), n, level, list);
    return -1;
  }
};

// A random position on a board of random size: stones scattered, or
// grown in clusters near earlier stones, which makes real shapes.
Board RandomBoard(std::mt19937& rng) {
  Board board;
  const auto size = static_cast<int32_t>(MinBoardSize + rng() % (MaxBoardSize - MinBoardSize + 1));
  ClearBoard(board, size);
  const auto stones = static_cast<int32_t>(rng() % (size * size * 3 / 4 + 1));
  const bool clustered = rng() % 2 == 0;
  int32_t lastX = (size + 1) / 2;
  int32_t lastY = (size + 1) / 2;
  for (int32_t i = 0; i < stones; ++i) {
    int32_t x = 0;
    int32_t y = 0;
    if (clustered) {
      x = std::clamp(lastX + static_cast<int32_t>(rng() % 5) - 2, 1, size);
      y = std::clamp(lastY + static_cast<int32_t>(rng() % 5) - 2, 1, size);
      if (rng() % 8 == 0) {
        x = static_cast<int32_t>(1 + rng() % static_cast<uint32_t>(size));
        y = static_cast<int32_t>(1 + rng() % static_cast<uint32_t>(size));
      }
    } else {
      x = static_cast<int32_t>(1 + rng() % static_cast<uint32_t>(size));
      y = static_cast<int32_t>(1 + rng() % static_cast<uint32_t>(size));
    }
    board.at(x, y) = rng() % 2 == 0 ? CellOwn : CellOpponent;
    lastX = x;
    lastY = y;
  }
  return board;
}

std::string Describe(const Board& board) {
  std::ostringstream out;
  out << "board of size " << board.size << ":\n";
  for (int32_t y = 1; y <= board.size; ++y) {
    for (int32_t x = 1; x <= board.size; ++x) {
      const int32_t c = board.at(x, y);
      out << (c == CellOwn ? 'X' : c == CellOpponent ? 'O' : '.');
    }
    out << "\n";
  }
  return out.str();
}

bool SameEntries(const MoveList& a, const MoveList& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const MoveRecord& p, const MoveRecord& q) {
           return p.x == q.x && p.y == q.y && p.score == q.score && p.direction == q.direction &&
                  p.templateNo == q.templateNo && p.side == q.side && p.bonus == q.bonus && p.mine == q.mine;
         });
}

bool IsRankedScore(int32_t s) {
  for (int32_t allowed : {190, 180, 85, 75, 70, 65, 60, 50, 40, 30, 20}) {
    if (s == allowed) return true;
  }
  return false;
}

// Checks shared by both kinds of list.
void ExpectWellFormed(const Board& board, const MoveList& list, int32_t side) {
  ASSERT_FALSE(list.empty());
  ASSERT_EQ(list.size(), static_cast<std::size_t>(ListCount(list)) + 1);
  for (std::size_t i = 1; i < list.size(); ++i) {
    const MoveRecord& e = list[i];
    ASSERT_TRUE(board.IsPlayable(e.x, e.y)) << "entry " << i;
    ASSERT_EQ(board.at(e.x, e.y), CellEmpty) << "entry " << i;
    ASSERT_TRUE(IsRankedScore(e.score)) << "entry " << i << " score " << e.score;
    ASSERT_TRUE(e.side == CellOwn || e.side == CellOpponent) << "entry " << i;
    ASSERT_EQ(e.mine, e.side == side ? 1 : 0) << "entry " << i;
    if (i > 1) {
      ASSERT_LE(e.score, list[i - 1].score) << "entry " << i;
    }
  }
}

bool Covers(const MoveRecord& entry, const MoveRecord& c) {
  return entry.x == c.x && entry.y == c.y && (c.score < FourScore || entry.side == c.side);
}

// The selection is the full listing walked from the top until a class rule
// stops it: a prefix of the ranking, merged by point (by point and side in
// the first class), and the first candidate left out had a reason to stop.
void ExpectSelectionOf(const MoveList& full, const MoveList& sel, int32_t level) {
  const int32_t n = ListCount(full);
  const int32_t count = ListCount(sel);
  const int32_t cap = ListCap(level);
  const int32_t top = n > 0 ? full[1].score : 0;

  // Each entry stands for the first candidate it covers, with its score.
  int32_t prefix = 0;
  for (int32_t e = 1; e <= count; ++e) {
    int32_t first = 0;
    for (int32_t i = 1; i <= n && first == 0; ++i) {
      if (Covers(sel[e], full[i]) && (sel[e].score < FourScore) == (full[i].score < FourScore)) first = i;
    }
    ASSERT_NE(first, 0) << "entry " << e << " is no candidate";
    EXPECT_EQ(sel[e].score, full[first].score) << "entry " << e;
    EXPECT_EQ(sel[e].side, full[first].side) << "entry " << e;
    for (int32_t f = 1; f < e; ++f) {
      const bool samePoint = sel[f].x == sel[e].x && sel[f].y == sel[e].y;
      EXPECT_FALSE(samePoint && (sel[e].score < FourScore || sel[f].side == sel[e].side)) << "entry " << e << " repeats";
    }
    prefix = std::max(prefix, first);
  }
  // Candidates 1..prefix were walked; the walk stopped at some candidate
  // after them, no later than the first one that no entry covers.
  int32_t firstUncovered = prefix + 1;
  for (; firstUncovered <= n; ++firstUncovered) {
    bool covered = false;
    for (int32_t e = 1; e <= count; ++e) covered = covered || Covers(sel[e], full[firstUncovered]);
    if (!covered) break;
  }
  for (int32_t i = 1; i <= prefix; ++i) {
    bool covered = false;
    for (int32_t e = 1; e <= count; ++e) covered = covered || Covers(sel[e], full[i]);
    EXPECT_TRUE(covered) << "candidate " << i << " skipped inside the walk";
  }

  // The score that opened the lower classes, as seen by candidate j.
  auto firstLowBefore = [&](int32_t j) {
    for (int32_t i = 1; i < j; ++i) {
      if (full[i].score >= TwoScore && full[i].score < OpenThreeScore) return full[i].score;
    }
    return 0;
  };
  auto stopsAt = [&](int32_t j) {
    const int32_t s = full[j].score;
    const bool capReached = count >= cap;
    if (s >= FourScore) return false;
    if (s >= OpenThreeScore) return top >= FourScore;
    if (s >= ClosedThreeScore) return top >= FourScore || (capReached && s < firstLowBefore(j));
    if (s >= TwoScore) return top >= OpenThreeScore || (capReached && s < firstLowBefore(j));
    return capReached;
  };
  if (firstUncovered <= n) {
    bool stopped = false;
    for (int32_t j = prefix + 1; j <= firstUncovered && !stopped; ++j) stopped = stopsAt(j);
    EXPECT_TRUE(stopped) << "candidate " << firstUncovered << " (score " << full[firstUncovered].score
                         << ") left out with " << count << " taken, cap " << cap;
  }

  // No candidate inside the walk belongs to a class the top score shuts out.
  for (int32_t i = 1; i <= prefix; ++i) {
    const int32_t s = full[i].score;
    EXPECT_FALSE(top >= FourScore && s >= TwoScore && s < FourScore) << "candidate " << i << " walked past a four";
    EXPECT_FALSE(top >= OpenThreeScore && s >= TwoScore && s < ClosedThreeScore)
        << "candidate " << i << " walked past a three";
  }

  const int32_t firstLowScore = firstLowBefore(prefix + 1);
  // The cap: past it, only uncapped classes.
  for (int32_t e = cap + 1; e <= count; ++e) {
    EXPECT_TRUE(sel[e].score >= OpenThreeScore || (sel[e].score >= TwoScore && sel[e].score >= firstLowScore))
        << "entry " << e << " past the cap of " << cap;
  }
}

class RankConsistencyTest : public ::testing::Test {
 protected:
  RankConsistencyTest() { BuildTemplates(tables); }
  TemplateTables tables;
  CandidateRanker ranker{tables};
  PlainRanking plain{tables};
};

TEST_F(RankConsistencyTest, RandomPositionsMatchThePlainRankingAndTheRules) {
  std::mt19937 rng(20261208);
  MoveList fast;
  MoveList slow;
  MoveList full;
  int32_t boardsWithFours = 0;
  for (int32_t round = 0; round < 1500; ++round) {
    const Board board = RandomBoard(rng);
    const int32_t side = round % 2 == 0 ? CellOwn : CellOpponent;
    SCOPED_TRACE(Describe(board) + "side " + std::to_string(side));

    ASSERT_EQ(ranker.RankCandidates(board, full, FullListLevel, side), 0);
    ASSERT_EQ(plain.Rank(board, slow, FullListLevel, side), 0);
    ASSERT_TRUE(SameEntries(full, slow)) << "full listing differs from the plain ranking";
    ExpectWellFormed(board, full, side);
    if (ListCount(full) > 0 && full[1].score >= FourScore) ++boardsWithFours;

    for (int32_t level : {-3, 0, 1, 2, 3, 4, 5, 9999, 10001}) {
      SCOPED_TRACE("level " + std::to_string(level));
      ASSERT_EQ(ranker.RankCandidates(board, fast, level, side), -1);
      ASSERT_EQ(plain.Rank(board, slow, level, side), -1);
      ASSERT_TRUE(SameEntries(fast, slow)) << "selection differs from the plain ranking";
      ExpectWellFormed(board, fast, side);
      ExpectSelectionOf(full, fast, level);
      if (HasFatalFailure() || HasFailure()) return;
    }
  }
  // The positions reach the first class, where the selection differs most.
  EXPECT_GT(boardsWithFours, 100);
}

// Scattered stones of both sides, found by a search for the most windows
// of one score: 205 windows of score 30, more than a bucket of 199 slots
// would hold. None may be dropped.
TEST_F(RankConsistencyTest, KeepsEveryWindowOfAnOverfullScore) {
  const Board board = test::BoardFromRows({
      "..X..O...X.O...O....", "X..X...X.O...X...X.O", "OX..O......X....O...", "..X...O.X...X.XXX.XX",
      "...X....O.X...O.X...", "...O.X......OXO.OXO.", "X..O...O....O...X...", "..X...X.O...X..O...X",
      "...X......OO....X...", ".X.X.O...X....O.OOX.", "X..X...X...XXX.....X", "...X...X.O....XXXXO.",
      "...XO..X...X...X....", "..O........X....O...", "XX..XOXOXO...O...O..", "..XX......X.O..X.XXX",
      "OOO..XO.O.OXX....X..", "..X.......X.O....O.O", "..O......X...X...X.O", "..O...X...X...X.O...",
  });
  MoveList fast;
  MoveList slow;
  for (int32_t level : {1, FullListLevel}) {
    ranker.RankCandidates(board, fast, level, CellOwn);
    plain.Rank(board, slow, level, CellOwn);
    EXPECT_TRUE(SameEntries(fast, slow)) << "level " << level;
  }
  ASSERT_EQ(plain.largestBucket, 205u);
  // Every one of those windows proposes two cells.
  int32_t thirties = 0;
  for (int32_t i = 1; i <= ListCount(fast); ++i) thirties += fast[i].score == 30;
  EXPECT_EQ(thirties, 410);
}

}  // namespace
}  // namespace quorvex

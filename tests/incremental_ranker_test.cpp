// The ranking kept up to date stone by stone against the full scan: the
// same lists, entry for entry, whatever the order in which stones came and
// went, and the same head of the list when only the head is read.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "eval/incremental_ranker.h"
#include "eval/lazy_rank_sort.h"
#include "eval/candidate_sort.h"
#include "eval/rank_candidates.h"
#include "search/copy_make_position.h"

namespace quorvex {
namespace {

bool SameEntries(const MoveList& a, const MoveList& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const MoveRecord& p, const MoveRecord& q) {
           return p.x == q.x && p.y == q.y && p.score == q.score && p.direction == q.direction &&
                  p.templateNo == q.templateNo && p.side == q.side && p.bonus == q.bonus && p.mine == q.mine;
         });
}

// Random walks of stones placed near the last one (so that real shapes
// grow), now and then lifted, now and then a fresh board of another size.
class StoneWalk {
 public:
  explicit StoneWalk(uint32_t seed) : rng_(seed) { Restart(); }

  // Changes the position by one step; returns false when it started over.
  bool Step(IncrementalRanker& ranker) {
    if (stones_.empty() || rng_() % 400 == 0) {
      Restart();
      ranker.Reset(board_);
      return false;
    }
    if (rng_() % 5 == 0 || Stones() * 4 > board_.size * board_.size * 3) {
      const auto i = rng_() % stones_.size();
      const auto [x, y] = stones_[i];
      stones_.erase(stones_.begin() + static_cast<std::ptrdiff_t>(i));
      board_.at(x, y) = CellEmpty;
      ranker.SetCell(x, y, CellEmpty);
      return true;
    }
    for (;;) {
      const auto [lx, ly] = stones_.back();
      int32_t x = std::clamp(lx + static_cast<int32_t>(rng_() % 5) - 2, 1, board_.size);
      int32_t y = std::clamp(ly + static_cast<int32_t>(rng_() % 5) - 2, 1, board_.size);
      if (rng_() % 6 == 0) {
        x = 1 + static_cast<int32_t>(rng_() % static_cast<uint32_t>(board_.size));
        y = 1 + static_cast<int32_t>(rng_() % static_cast<uint32_t>(board_.size));
      }
      if (board_.at(x, y) != CellEmpty) continue;
      const int32_t code = rng_() % 2 ? CellOwn : CellOpponent;
      board_.at(x, y) = code;
      stones_.push_back({x, y});
      ranker.SetCell(x, y, code);
      return true;
    }
  }

  const Board& board() const { return board_; }
  std::mt19937& rng() { return rng_; }

 private:
  int32_t Stones() const { return static_cast<int32_t>(stones_.size()); }

  void Restart() {
    const auto size = static_cast<int32_t>(MinBoardSize + rng_() % (MaxBoardSize - MinBoardSize + 1));
    ClearBoard(board_, size);
    stones_.clear();
    const int32_t x = 1 + static_cast<int32_t>(rng_() % static_cast<uint32_t>(size));
    const int32_t y = 1 + static_cast<int32_t>(rng_() % static_cast<uint32_t>(size));
    board_.at(x, y) = CellOwn;
    stones_.push_back({x, y});
  }

  std::mt19937 rng_;
  Board board_;
  std::vector<std::pair<int32_t, int32_t>> stones_;
};

TEST(IncrementalRankingTest, EveryListEqualsTheFullScanAlongRandomWalks) {
  TemplateTables tables;
  BuildTemplates(tables);
  CandidateRanker plain(tables);
  IncrementalRanker fast(tables);
  StoneWalk walk(20261208);
  fast.Reset(walk.board());
  MoveList expected;
  MoveList got;
  MoveList want;
  PointMarks marks;
  constexpr int32_t kPositions = 100'000;
  int32_t withFours = 0;
  int32_t withThrees = 0;
  for (int32_t position = 0; position < kPositions; ++position) {
    walk.Step(fast);
    const Board& board = walk.board();
    ASSERT_EQ(fast.board().cell, board.cell) << "position " << position;
    const int32_t side = position % 2 ? CellOwn : CellOpponent;
    const int32_t level = position % 3 == 0 ? FullListLevel : static_cast<int32_t>(walk.rng()() % 7) - 1;

    plain.RankCandidates(board, expected, FullListLevel, side);
    if (level != FullListLevel) {
      // The head of the list as the threat search reads it: every entry
      // down to a score, and nothing of that score after them.
      const RankedCandidates& ranked = fast.Rank(side);
      ASSERT_EQ(ranked.Count(), ListCount(expected)) << "position " << position;
      ASSERT_EQ(ranked.TopScore(), ranked.Count() > 0 ? expected[1].score : 0);
      for (const int32_t score : {FourScore, ClosedThreeScore + 1, ClosedThreeScore, TwoScore}) {
        const int32_t head = ranked.CountAtLeast(score);
        ASSERT_TRUE(head == ListCount(expected) || expected[static_cast<std::size_t>(head) + 1].score < score);
        for (int32_t i = 1; i <= head; ++i) {
          const MoveRecord entry = ranked.At(i);
          const MoveRecord& e = expected[static_cast<std::size_t>(i)];
          ASSERT_TRUE(entry.x == e.x && entry.y == e.y && entry.score == e.score &&
                      entry.side == e.side && entry.mine == e.mine)
              << "position " << position << ", entry " << i << " of the head down to " << score;
        }
      }
      withFours += ranked.CountAtLeast(FourScore) > 0;
      withThrees += ranked.CountAtLeast(ClosedThreeScore) > ranked.CountAtLeast(FourScore);

      // The forcing moves as a search node asks for them, on a fresh
      // ranking: its best score, then the fours and threes of each side.
      const RankedCandidates& fresh = fast.Rank(side);
      ASSERT_EQ(fresh.TopScore(), ListCount(expected) > 0 ? expected[1].score : 0);
      const ListedCandidates listed(expected);
      for (const int32_t score : {FourScore, ClosedThreeScore, ClosedThreeScore + 1}) {
        for (const int32_t of : {side, CellOwn + CellOpponent - side}) {
          fresh.Select(score, of, marks, got);
          listed.Select(score, of, marks, want);
          ASSERT_TRUE(SameEntries(got, want)) << "position " << position << ", moves down to " << score << " of " << of;
        }
      }
      plain.RankCandidates(board, expected, level, side);
    }
    ASSERT_EQ(fast.RankCandidates(got, level, side), level == FullListLevel ? 0 : -1);
    ASSERT_TRUE(SameEntries(got, expected)) << "position " << position << ", level " << level << ", side " << side;
  }
  EXPECT_GT(withFours, kPositions / 20);
  EXPECT_GT(withThrees, kPositions / 20);
}

// The sort by prefixes, and the all-equal ranges placed from their table,
// against the whole quicksort on keys of few distinct scores, as candidate
// lists have them. Sequences come back, whole or with one score changed,
// after their first sort was left at any prefix, as they do in a search.
TEST(IncrementalRankingTest, TheLazySortLeavesTheQuicksortsOrder) {
  std::mt19937 rng(7);
  LazyRankSort lazy(2000);
  std::vector<std::vector<uint16_t>> seen;
  for (int32_t round = 0; round < 800; ++round) {
    std::vector<uint16_t> scores;
    if (round % 2 == 1 && !seen.empty()) {
      scores = seen[rng() % seen.size()];
      if (rng() % 3 == 0 && scores.size() > 1) scores[1 + rng() % (scores.size() - 1)] += 10;
    } else {
      const auto n = static_cast<int32_t>(rng() % 1200);
      const auto distinct = 1 + rng() % 6;
      scores.resize(static_cast<std::size_t>(n) + 1);
      for (int32_t i = 1; i <= n; ++i) scores[static_cast<std::size_t>(i)] = static_cast<uint16_t>(20 + 10 * (rng() % distinct));
      if (round % 8 == 0) std::sort(scores.begin() + 1, scores.end(), std::greater<>());  // long equal runs
      seen.push_back(scores);
    }
    const auto n = static_cast<int32_t>(scores.size()) - 1;
    std::vector<RankKey> whole(scores.size());
    for (int32_t i = 1; i <= n; ++i) whole[static_cast<std::size_t>(i)] = {static_cast<uint16_t>(i), scores[static_cast<std::size_t>(i)]};
    QuickSortDescending(whole.data(), 1, n, [](const RankKey& key) { return static_cast<int32_t>(key.score); });
    lazy.Start(scores.data(), n);
    const int32_t stop = rng() % 4 == 0 ? static_cast<int32_t>(rng() % (n + 1)) : n;
    // Each prefix as it becomes final, then the whole of it again: later
    // steps must not disturb it.
    for (int32_t q = 0, from = 1; q < stop; from = q + 1) {
      q = std::min(stop, q + 1 + static_cast<int32_t>(rng() % 50));
      lazy.SortThrough(q);
      for (int32_t i = from; i <= q; ++i) {
        ASSERT_EQ(lazy.Candidate(i), whole[static_cast<std::size_t>(i)].candidate)
            << "round " << round << ", n " << n << ", prefix " << q << ", place " << i;
      }
    }
    for (int32_t i = 1; i <= stop; ++i) {
      ASSERT_EQ(lazy.Candidate(i), whole[static_cast<std::size_t>(i)].candidate) << "round " << round << ", place " << i;
    }
  }
}

}  // namespace
}  // namespace quorvex

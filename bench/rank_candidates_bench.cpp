// RankCandidates on fixed positions, at the move decision's level (1, a
// capped selection) and the threat search's (FullListLevel, every
// candidate): the full scan of CandidateRanker, and the ranking kept up to
// date by IncrementalRanker, both from a position already set up and with
// a stone placed and lifted around each ranking, as a search node does.
// The ranker keeps the sort's orders of score sequences met before, and
// here every ranking after the first meets its own again; orders:0 turns
// the table off, for the cost of a sequence the search has not met.

#include <benchmark/benchmark.h>

#include "eval/incremental_ranker.h"
#include "eval/rank_candidates.h"
#include "eval/templates.h"
#include "game/board.h"
#include "tests/eval_fixed_positions.h"

namespace quorvex {
namespace {

// An empty point near the middle, where a search would play.
std::pair<int32_t, int32_t> EmptyNearMiddle(const Board& board) {
  for (int32_t r = 0; r < DefaultBoardSize; ++r) {
    for (int32_t x = 10 - r; x <= 10 + r; ++x) {
      for (int32_t y = 10 - r; y <= 10 + r; ++y) {
        if (board.IsPlayable(x, y) && board.at(x, y) == CellEmpty) return {x, y};
      }
    }
  }
  return {0, 0};
}

void BM_RankCandidates(benchmark::State& state) {
  const auto& position = test::kFixedPositions[state.range(0)];
  const auto level = static_cast<int32_t>(state.range(1));
  TemplateTables tables;
  BuildTemplates(tables);
  CandidateRanker ranker{tables};
  const Board board = test::FixedBoard(position);
  MoveList list;
  for (auto _ : state) {
    ranker.RankCandidates(board, list, level, CellOwn);
    benchmark::DoNotOptimize(list.data());
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::string(position.name) + ", " + std::to_string(ListCount(list)) + " listed");
}

void BM_RankCandidatesIncremental(benchmark::State& state) {
  const auto& position = test::kFixedPositions[state.range(0)];
  const auto level = static_cast<int32_t>(state.range(1));
  const bool withStone = state.range(2) != 0;
  const auto cachedOrders = state.range(3) != 0 ? LazyRankSort::DefaultCachedOrders : 0;
  TemplateTables tables;
  BuildTemplates(tables);
  IncrementalRanker ranker{tables, cachedOrders};
  const Board board = test::FixedBoard(position);
  ranker.Reset(board);
  const auto [x, y] = EmptyNearMiddle(board);
  MoveList list;
  for (auto _ : state) {
    if (withStone) ranker.SetCell(x, y, CellOpponent);
    ranker.RankCandidates(list, level, CellOwn);
    if (withStone) ranker.SetCell(x, y, CellEmpty);
    benchmark::DoNotOptimize(list.data());
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::string(position.name) + ", " + std::to_string(ListCount(list)) + " listed");
}

BENCHMARK(BM_RankCandidates)
    ->ArgNames({"position", "level"})
    ->ArgsProduct({{0, 1, 2, 3}, {1, FullListLevel}});
BENCHMARK(BM_RankCandidatesIncremental)
    ->ArgNames({"position", "level", "stone", "orders"})
    ->ArgsProduct({{0, 1, 2, 3}, {1, FullListLevel}, {0, 1}, {1, 0}});

}  // namespace
}  // namespace quorvex

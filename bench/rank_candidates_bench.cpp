// RankCandidates on fixed positions, at the move decision's level (1, a
// capped selection) and the threat search's (FullListLevel, every
// candidate). The threat search calls it at every node, so this is the
// cost per node of the shape reading.

#include <benchmark/benchmark.h>

#include "engine/board.h"
#include "eval/rank_candidates.h"
#include "eval/templates.h"
#include "tests/eval_fixed_positions.h"

namespace quorvex {
namespace {

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

BENCHMARK(BM_RankCandidates)
    ->ArgNames({"position", "level"})
    ->ArgsProduct({{0, 1, 2, 3}, {1, FullListLevel}});

}  // namespace
}  // namespace quorvex

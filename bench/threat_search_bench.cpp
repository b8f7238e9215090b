// The threat search on fixed tactical positions: time per full-depth search,
// nodes per second, and each position's node count as its signature.

#include <benchmark/benchmark.h>

#include "search/bench.h"

namespace quorvex {
namespace {

// The engine's searcher, on the ranking kept up to date stone by stone, and
// the plain one that copies and rescans the board at every node.
template <typename Searcher>
void BM_ThreatSearch(benchmark::State& state) {
  const BenchPosition& position = BenchPositions()[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(position.name);
  Searcher searcher;
  const Board board = BenchBoard(position);
  int64_t nodes = 0;
  for (auto _ : state) {
    const BenchRun run = searcher.Search(position, board);
    nodes = run.nodes;
    benchmark::DoNotOptimize(run);
  }
  state.counters["nodes"] = static_cast<double>(nodes);
  state.counters["nodes_per_s"] =
      benchmark::Counter(static_cast<double>(nodes) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ThreatSearch<BenchSearcher>)
    ->Name("BM_ThreatSearch")
    ->DenseRange(0, static_cast<int>(BenchPositions().size()) - 1);
BENCHMARK(BM_ThreatSearch<PlainBenchSearcher>)
    ->Name("BM_ThreatSearchPlain")
    ->DenseRange(0, static_cast<int>(BenchPositions().size()) - 1);

}  // namespace
}  // namespace quorvex

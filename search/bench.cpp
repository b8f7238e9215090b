#include "search/bench.h"

#include <array>
#include <chrono>
#include <functional>
#include <limits>

#include "game/stone_list.h"

namespace quorvex {

namespace {

// Three hand-made shapes and three crowded positions from random play whose
// forcing lines run deep.
constexpr std::array<BenchPosition, 6> kPositions = {{
    {"open three each", "X:9,10 X:10,10 X:11,10 O:8,12 O:9,12 O:10,12 O:15,15", 10, 12},
    {"block into open four", "O:2,5 X:3,5 X:4,5 X:5,5 O:7,6 O:7,7 O:7,8", 7, 8},
    {"double threats",
     "X:8,8 X:9,9 X:10,10 X:8,10 X:9,10 O:11,11 O:7,7 O:12,9 O:12,10 O:12,11 O:6,10", 6, 10},
    {"seventeen stones",
     "X:11,12 O:15,14 X:12,13 O:9,11 X:13,10 O:8,6 X:8,13 O:12,7 X:15,9 O:11,15 X:7,11 O:7,7 "
     "X:13,13 O:14,12 X:7,12 O:15,15 X:7,14",
     15, 15},
    {"twenty-four stones",
     "X:13,14 O:11,10 X:8,15 O:6,7 X:7,8 O:11,14 X:11,7 O:13,6 X:9,14 O:15,10 X:11,12 O:11,9 "
     "X:9,8 O:7,14 X:7,9 O:8,8 X:8,12 O:12,7 X:10,11 O:14,7 X:10,9 O:7,7 X:9,9 O:10,15",
     10, 15},
    {"thirty-six stones",
     "X:6,10 O:14,9 X:14,13 O:12,8 X:14,11 O:15,9 X:15,11 O:10,6 X:9,9 O:15,13 X:9,13 O:8,8 "
     "X:8,14 O:7,15 X:7,14 O:9,11 X:14,15 O:15,12 X:10,8 O:15,15 X:14,6 O:10,14 X:9,10 O:14,12 "
     "X:6,14 O:15,6 X:13,6 O:11,15 X:8,13 O:15,8 X:13,8 O:8,7 X:8,9 O:8,15 X:12,10 O:12,14",
     12, 14},
}};

}  // namespace

std::span<const BenchPosition> BenchPositions() { return kPositions; }

Board BenchBoard(const BenchPosition& position) {
  Board board;
  ClearBoard(board, DefaultBoardSize);
  PutStoneList(board, position.stones);
  return board;
}

template <typename Searcher>
BasicBenchSearcher<Searcher>::BasicBenchSearcher()
    : ranker_(tables_), clock_([] { return 0; }), searcher_(ranker_, clock_) {
  BuildTemplates(tables_);
  searcher_.SetTimeLimit(0, std::numeric_limits<int32_t>::max());
}

template <typename Searcher>
BenchRun BasicBenchSearcher<Searcher>::Search(const BenchPosition& position, const Board& board) {
  MoveRecord last;
  last.x = position.lastX;
  last.y = position.lastY;
  MoveList results;
  const int64_t before = searcher_.Nodes();
  BenchRun run;
  run.rootMoves = searcher_.ThreatSearch(last, CellOpponent, board, 0, RootAlpha, RootBeta, results,
                                         SearchDepthLimit);
  run.nodes = searcher_.Nodes() - before;
  return run;
}

template class BasicBenchSearcher<ThreatSearcher>;
template class BasicBenchSearcher<PlainThreatSearcher>;

int RunBench(std::ostream& out) {
  using Clock = std::chrono::steady_clock;
  BenchSearcher searcher;
  int64_t total = 0;
  const auto start = Clock::now();
  for (const BenchPosition& position : BenchPositions()) {
    const BenchRun run = searcher.Search(position);
    total += run.nodes;
    out << position.name << ": " << run.nodes << " nodes, " << run.rootMoves << " root moves\n";
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  out << "Nodes searched: " << total << "\n";
  out << "Nodes/second  : " << static_cast<int64_t>(seconds > 0 ? total / seconds : 0) << "\n";
  return 0;
}

}  // namespace quorvex

#include "search/bench.h"

#include <array>
#include <chrono>
#include <functional>
#include <limits>

#include "engine/stone_list.h"
#include "eval/rank_candidates.h"
#include "eval/templates.h"
#include "search/threat_search.h"

namespace quorvex {

namespace {

constexpr std::array<BenchPosition, 6> kPositions = {{
    {"open three each", "X:9,10 X:10,10 X:11,10 O:8,12 O:9,12 O:10,12 O:15,15", 10, 12},
    {"block into open four", "O:2,5 X:3,5 X:4,5 X:5,5 O:7,6 O:7,7 O:7,8", 7, 8},
    {"crossing twos", "X:10,11 X:11,11 X:12,9 X:12,10 O:9,9 O:13,13 O:8,12", 8, 12},
    {"opening fight",
     "X:11,11 O:12,12 X:12,11 O:10,11 X:11,12 O:11,10 X:13,10 O:10,13 X:10,12 O:12,10 X:9,12",
     12, 10},
    {"middle game",
     "X:11,11 O:12,10 X:12,12 O:10,10 X:13,13 O:14,14 X:11,13 O:11,12 X:10,14 O:9,15 X:12,14 "
     "O:13,15 X:12,13 O:12,15 X:10,13 O:9,13 X:13,12 O:14,11 X:11,14 O:11,15",
     11, 15},
    {"double threats",
     "X:8,8 X:9,9 X:10,10 X:8,10 X:9,10 O:11,11 O:7,7 O:12,9 O:12,10 O:12,11 O:6,10", 6, 10},
}};

}  // namespace

std::span<const BenchPosition> BenchPositions() { return kPositions; }

Board BenchBoard(const BenchPosition& position) {
  Board board;
  ClearBoard(board, DefaultBoardSize);
  PutStoneList(board, position.stones);
  return board;
}

BenchRun SearchBenchPosition(const BenchPosition& position) {
  static const TemplateTables tables = [] {
    TemplateTables t;
    BuildTemplates(t);
    return t;
  }();
  CandidateRanker ranker(tables);
  const std::function<int32_t()> clock = [] { return 0; };
  ThreatSearcher searcher(ranker, clock);
  searcher.SetTimeLimit(0, std::numeric_limits<int32_t>::max());
  const Board board = BenchBoard(position);
  MoveRecord last;
  last.x = position.lastX;
  last.y = position.lastY;
  MoveList results;
  BenchRun run;
  run.rootMoves = searcher.ThreatSearch(last, CellOpponent, board, 0, RootAlpha, RootBeta, results,
                                        SearchDepthLimit);
  run.nodes = searcher.Nodes();
  return run;
}

int RunBench(std::ostream& out) {
  using Clock = std::chrono::steady_clock;
  int64_t total = 0;
  const auto start = Clock::now();
  for (const BenchPosition& position : BenchPositions()) {
    const BenchRun run = SearchBenchPosition(position);
    total += run.nodes;
    out << position.name << ": " << run.nodes << " nodes, " << run.rootMoves << " root moves\n";
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  out << "Nodes searched: " << total << "\n";
  out << "Nodes/second  : " << static_cast<int64_t>(seconds > 0 ? total / seconds : 0) << "\n";
  return 0;
}

}  // namespace quorvex

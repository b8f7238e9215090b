#pragma once
// Fixed tactical positions for measuring the threat search. The node count
// of each is a signature of the search's behaviour: a change that keeps
// every count changes nothing the search decides.

#include <cstdint>
#include <functional>
#include <ostream>
#include <span>

#include "eval/rank_candidates.h"
#include "eval/templates.h"
#include "game/board.h"
#include "game/move_record.h"
#include "search/threat_search.h"

namespace quorvex {

struct BenchPosition {
  const char* name;
  const char* stones;  // internal points, X: the engine's, O: the opponent's
  int32_t lastX;       // the opponent's last stone, the search's root move
  int32_t lastY;
};

std::span<const BenchPosition> BenchPositions();

// The board of a bench position, laid out as after START 20.
Board BenchBoard(const BenchPosition& position);

struct BenchRun {
  int64_t nodes = 0;
  int32_t rootMoves = 0;
};

// A searcher with its own tables and no time limit, for full-depth searches
// of bench positions; built once, so a measurement sees only the search.
// `Searcher` is ThreatSearcher, the engine's, or PlainThreatSearcher.
template <typename Searcher>
class BasicBenchSearcher {
 public:
  BasicBenchSearcher();
  BenchRun Search(const BenchPosition& position) { return Search(position, BenchBoard(position)); }
  // The same on the position's board made beforehand, so that only the
  // search is measured.
  BenchRun Search(const BenchPosition& position, const Board& board);

 private:
  TemplateTables tables_;
  CandidateRanker ranker_;
  std::function<int32_t()> clock_;
  Searcher searcher_;
};

using BenchSearcher = BasicBenchSearcher<ThreatSearcher>;
using PlainBenchSearcher = BasicBenchSearcher<PlainThreatSearcher>;

extern template class BasicBenchSearcher<ThreatSearcher>;
extern template class BasicBenchSearcher<PlainThreatSearcher>;

// Searches every bench position and prints per-position node counts, the
// total and nodes per second. Returns the process's exit code.
int RunBench(std::ostream& out);

}  // namespace quorvex

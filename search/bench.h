#pragma once
// Fixed tactical positions for measuring the threat search. The node count
// of each is a signature of the search's behaviour: a change that keeps
// every count changes nothing the search decides.

#include <cstdint>
#include <ostream>
#include <span>

#include "engine/board.h"
#include "engine/move_record.h"

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

// One full-depth search of `position` with no time limit, on a searcher of
// its own.
BenchRun SearchBenchPosition(const BenchPosition& position);

// Searches every bench position and prints per-position node counts, the
// total and nodes per second. Returns the process's exit code.
int RunBench(std::ostream& out);

}  // namespace quorvex

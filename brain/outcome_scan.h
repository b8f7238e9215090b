#pragma once
// Step 3 of the move decision: does the ranking show a decided game?
//
// Reads the entries of a list ranked for CellOwn (RankCandidates at
// DecisionLevel) in list order; the first rule that matches ends the scan:
//   1. a point of FourScore or more for CellOwn: the engine can make five,
//      verdict 1;
//   2. a point above FourScore for CellOpponent: verdict 0;
//   3. the second point of exactly FourScore for CellOpponent (two fours
//      cannot both be stopped): verdict 0.
// Because the list is ordered by score, an opponent's point above
// FourScore that stands before the engine's own four is read as a loss.

#include <cstdint>
#include <optional>

#include "game/move_record.h"

namespace quorvex {

// The verdict as GameResultFlag takes it (1 the engine has won, 0 the
// opponent has), or nothing when no rule matched.
std::optional<int32_t> ScanOutcome(const MoveList& candidates);

}  // namespace quorvex

#pragma once
// Steps 2 and 3 of the move decision: the ranking, and does it show a decided game?
//
// Ranks engine.Board for CellOwn at DecisionLevel into
// engine.CandidateList, then reads its entries in list order; the first
// rule that matches ends the scan:
//   1. a point of FourScore or more for CellOwn: the engine can make five,
//      GameResultFlag := 1;
//   2. a point above FourScore for CellOpponent: GameResultFlag := 0;
//   3. the second point of exactly FourScore for CellOpponent (two fours
//      cannot both be stopped): GameResultFlag := 0.
// On a match the game is learned from at once (LearnFromGame with the
// flag, EngineMovedFirst, MoveCount, KeyHistory and MoveBuffer as they
// stand). Nothing else changes. Because the list is ordered by score, an
// opponent's point above FourScore that stands before the engine's own
// four is read as a loss.
//
// The move decision scans at every request; a tool that replays games
// runs the same scan to learn from them as a brain would.

#include <cstdint>

#include "brain/engine.h"

namespace quorvex {

// The level of the move decision's rankings: the capped selection.
inline constexpr int32_t DecisionLevel = 1;

// True when the scan found the game decided (and learned from it).
bool RankAndScanOutcome(Engine& engine);

}  // namespace quorvex

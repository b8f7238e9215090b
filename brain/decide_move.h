#pragma once
// The answer to one request for a move, in ten steps:
//
//   Step 1.  Count the engine's stone to come (Game::CountStoneToCome).
//   Step 2.  Rank the candidates of the board for the engine
//            (RankCandidates at DecisionLevel, into CandidateList).
//   Step 3.  Outcome scan: when the list shows the game decided, set
//            GameResultFlag and learn from the game (ScanOutcome,
//            LearnFromGame); the decision goes on either way.
//   Step 4.  No candidate: play a random empty point, unrecorded, and stop.
//   Step 5.  Take the key of the position as the opponent left it.
//   Step 6.  Look the position up in the store; a continuation scored 1.0
//            or more is known, and step 7 is skipped.
//   Step 7.  Threat search from the opponent's last stone; each root move's
//            verdict enters the store as a continuation of the position,
//            its value encoded as win and loss counts.
//   Step 8.  Rank the candidates again (the search used the list).
//   Step 9.  Known move: the store's best continuation, if it scores 0.6 or
//            more and names an empty point of the board, is played.
//   Step 10. Drawn candidate: otherwise a uniformly drawn entry of the list.
//
// So the search reaches the move only through the store: a proven win is
// recorded with large wins and ranks first, a proven loss is avoided, and a
// move without a verdict competes with the store's earlier experience.
//
// The played stone (steps 9 and 10) goes on the board, into MoveBuffer and
// KeyHistory and into the store; the board and the store change nowhere
// else, apart from the search's and the learning's rows.

#include <cstdint>
#include <random>
#include <string>

#include "book/experience_store.h"
#include "eval/rank_candidates.h"
#include "game/game.h"
#include "game/move_record.h"
#include "search/threat_search.h"

namespace quorvex {

// The level of the decision's rankings: the capped selection.
inline constexpr int32_t DecisionLevel = 1;

class MoveDecision {
 public:
  // The parts of the brain the decision works on; all must outlive it.
  MoveDecision(Game& game, ExperienceStore& store, CandidateRanker& ranker,
               ThreatSearcher& searcher, std::mt19937& rng);

  // Chooses the engine's point in the current position, places the
  // engine's stone and returns the reply text: the point in protocol
  // coordinates (internal minus 1), two decimal numbers joined by ",". The
  // threat search stops expanding once the clock has passed
  // turnStartMs + searchLimitMs. On a full board no stone is placed and the
  // reply is an ERROR line. Requires a game of at most MoveBufferEntries - 2
  // stones.
  std::string DecideMove(int32_t turnStartMs, int32_t searchLimitMs);

  // Steps 1 to 3, and the counted stone given back: learns from the game
  // if it is decided. True when it was.
  bool ScanOutcomeBeforeOwnStone();

 private:
  // Steps 2 and 3; true when the game is decided.
  bool RankAndScanOutcome();
  std::string PlayRandomPoint();
  void SeedStoreFromSearch(int64_t currentKey, int32_t turnStartMs, int32_t searchLimitMs);
  std::string PlayCountedStone(int64_t currentKey, int32_t x, int32_t y);
  // A uniform draw from 1..count.
  int32_t Draw(int32_t count);

  Game& game_;
  ExperienceStore& store_;
  CandidateRanker& ranker_;
  ThreatSearcher& searcher_;
  std::mt19937& rng_;
  // The candidates of the position, and between steps 7 and 8 the search's
  // root moves.
  MoveList CandidateList;
};

}  // namespace quorvex

#include "brain/decide_move.h"

#include <random>
#include <vector>

#include "game/position_key.h"
#include "brain/outcome_scan.h"
#include "search/threat_search.h"
#include "search/time_budget.h"

namespace quorvex {

namespace {

std::string ReplyText(int32_t x, int32_t y) {
  return std::to_string(x - 1) + "," + std::to_string(y - 1);
}

int32_t Draw(Engine& engine, int32_t count) {
  return std::uniform_int_distribution<int32_t>(1, count)(engine.Rng);
}

// Step 4: with nothing to rank, any empty point. Returns false on a full board.
bool PlayRandomPoint(Engine& engine, std::string& reply) {
  std::vector<std::pair<int32_t, int32_t>> empty;
  for (int32_t x = 1; x <= engine.Board.size; ++x)
    for (int32_t y = 1; y <= engine.Board.size; ++y)
      if (engine.Board.at(x, y) == CellEmpty) empty.emplace_back(x, y);
  if (empty.empty()) return false;
  const auto [x, y] = empty[Draw(engine, static_cast<int32_t>(empty.size())) - 1];
  engine.Board.at(x, y) = CellOwn;
  reply = ReplyText(x, y);
  return true;
}

// Step 7: the search's verdicts enter the store as continuations of the
// current position, encoded as win and loss counts.
void SeedStoreFromSearch(Engine& engine, int64_t currentKey) {
  const bool matchClock = engine.TimeLeftKnown && !engine.MatchTimeUnlimited;
  engine.Searcher.SetTimeLimit(engine.TurnStartMs,
                               SearchTimeLimit(engine.msTurnTime, matchClock, engine.msTimeLeft));
  const int32_t n = engine.Searcher.ThreatSearch(engine.LastOpponentMove, CellOpponent, engine.Board, 0,
                                                 RootAlpha, RootBeta, engine.CandidateList,
                                                 SearchDepthLimit);
  MoveEntry& trial = engine.MoveBuffer[engine.MoveCount];
  for (int32_t i = 1; i <= n; ++i) {
    const MoveRecord& root = engine.CandidateList[i];
    const int32_t s = root.score;
    if (s == TimeUpScore) continue;
    const int32_t x = root.x + engine.NormXVec;
    const int32_t y = root.y + engine.NormYVec;
    trial = MakeMoveEntry(x, y);
    engine.PositionKey = ComputePositionKey(engine.MoveBuffer);
    trial = MoveEntry{};
    const int32_t wins = s > 0 ? s : 1;
    const int32_t losses = s < 0 ? -s : 1;
    engine.Store.RecordMove(engine.PositionKey, currentKey, x, y, engine.MoveCount, wins, losses);
  }
}

// Steps 9 and 10 end here: the engine's stone on the board, in the buffer,
// in the key history and in the store.
std::string PlayStone(Engine& engine, int64_t currentKey, int32_t x, int32_t y, MoveEntry entry) {
  engine.Board.at(x, y) = CellOwn;
  engine.MoveBuffer[engine.MoveCount] = entry;
  engine.PositionKey = ComputePositionKey(engine.MoveBuffer);
  engine.KeyHistory[engine.MoveCount] = engine.PositionKey;
  engine.Store.RecordMove(engine.PositionKey, currentKey, entry.x, entry.y, engine.MoveCount, 1, 1);
  return ReplyText(x, y);
}

}  // namespace

std::string DecideMove(Engine& engine) {
  // Step 1.
  engine.MoveCount += 1;
  engine.GameResultFlag = 0;
  // After a listing without stones the engine's stone opens the game, and
  // learning must credit the odd entries to it.
  if (engine.MoveCount == 1) engine.EngineMovedFirst = 1;

  // Steps 2-3.
  // A decided game is learned from; the decision goes on either way.
  RankAndScanOutcome(engine);
  const int32_t count = ListCount(engine.CandidateList);

  // Step 4.
  if (count == 0) {
    std::string reply;
    if (PlayRandomPoint(engine, reply)) return reply;
    engine.MoveCount -= 1;  // no stone was placed
    return "ERROR the board is full, no move is left";
  }

  // Steps 5-6: a continuation the store already rates at 1.0 or more makes
  // the search unnecessary.
  const int64_t currentKey = ComputePositionKey(engine.MoveBuffer);
  engine.PrevPositionKey = currentKey;
  MoveRecord answer;
  engine.Store.LookupOpening(currentKey, answer);
  if (answer.score == 0) SeedStoreFromSearch(engine, currentKey);

  // Step 8.
  engine.Ranker.RankCandidates(engine.Board, engine.CandidateList, DecisionLevel, CellOwn);
  const int32_t count2 = ListCount(engine.CandidateList);

  // Step 9: the store's choice, unless it points off the board or onto a
  // stone (the same shape met nearer an edge in another game).
  if (engine.Store.LookupOpening(currentKey, answer) == 1) {
    const int32_t x = answer.x - engine.NormXVec;
    const int32_t y = answer.y - engine.NormYVec;
    if (engine.Board.IsPlayable(x, y) && engine.Board.at(x, y) == CellEmpty)
      return PlayStone(engine, currentKey, x, y, MakeMoveEntry(answer.x, answer.y));
  }

  // Step 10: a drawn candidate.
  const MoveRecord& drawn = engine.CandidateList[Draw(engine, count2)];
  return PlayStone(engine, currentKey, drawn.x, drawn.y,
                   MakeMoveEntry(drawn.x + engine.NormXVec, drawn.y + engine.NormYVec));
}

}  // namespace quorvex

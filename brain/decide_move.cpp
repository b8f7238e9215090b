#include "brain/decide_move.h"

#include <utility>
#include <vector>

#include "brain/outcome_scan.h"

namespace quorvex {

namespace {

std::string ReplyText(int32_t x, int32_t y) {
  return std::to_string(x - 1) + "," + std::to_string(y - 1);
}

}  // namespace

MoveDecision::MoveDecision(Game& game, ExperienceStore& store, CandidateRanker& ranker,
                           ThreatSearcher& searcher, std::mt19937& rng)
    : game_(game),
      store_(store),
      ranker_(ranker),
      searcher_(searcher),
      rng_(rng),
      CandidateList(1) {}

std::string MoveDecision::DecideMove(int32_t turnStartMs, int32_t searchLimitMs) {
  // Step 1. Count the engine's stone to come.
  game_.CountStoneToCome();

  // Steps 2-3. Rank the candidates, and learn from a decided game.
  RankAndScanOutcome();
  const int32_t candidateCount = ListCount(CandidateList);

  // Step 4. Nothing to rank: any empty point.
  if (candidateCount == 0) return PlayRandomPoint();

  // Step 5. The position as the opponent left it: the counted stone's
  // entry is still (0, 0).
  const int64_t currentKey = game_.PositionKey();

  // Step 6. A continuation the store already scores at 1.0 or more makes
  // the search unnecessary.
  MoveRecord answer;
  store_.LookupOpening(currentKey, answer);

  // Step 7. The search's verdicts into the store.
  if (answer.score == 0) SeedStoreFromSearch(currentKey, turnStartMs, searchLimitMs);

  // Step 8. The candidates again: the search left its root moves in the list.
  ranker_.RankCandidates(game_.Board(), CandidateList, DecisionLevel, CellOwn);
  const int32_t drawableCount = ListCount(CandidateList);

  // Step 9. The store's choice, unless it points off the board or onto a
  // stone (the same shape met nearer an edge in another game).
  if (store_.LookupOpening(currentKey, answer) == 1) {
    const int32_t x = answer.x - game_.NormXVec();
    const int32_t y = answer.y - game_.NormYVec();
    if (game_.Board().IsPlayable(x, y) && game_.Board().at(x, y) == CellEmpty) {
      return PlayCountedStone(currentKey, x, y);
    }
  }

  // Step 10. A drawn candidate.
  const MoveRecord& drawn = CandidateList[static_cast<std::size_t>(Draw(drawableCount))];
  return PlayCountedStone(currentKey, drawn.x, drawn.y);
}

bool MoveDecision::ScanOutcomeBeforeOwnStone() {
  game_.CountStoneToCome();
  const bool decided = RankAndScanOutcome();
  game_.WithdrawCountedStone();
  return decided;
}

bool MoveDecision::RankAndScanOutcome() {
  ranker_.RankCandidates(game_.Board(), CandidateList, DecisionLevel, CellOwn);
  const std::optional<int32_t> verdict = ScanOutcome(CandidateList);
  if (!verdict) return false;
  game_.SetGameResult(*verdict);
  store_.LearnFromGame(game_.GameResultFlag(), game_.EngineMovedFirst(), game_.MoveCount(),
                       game_.KeyHistory(), game_.MoveBuffer());
  return true;
}

int32_t MoveDecision::Draw(int32_t count) {
  return std::uniform_int_distribution<int32_t>(1, count)(rng_);
}

std::string MoveDecision::PlayRandomPoint() {
  std::vector<std::pair<int32_t, int32_t>> empty;
  const Board& board = game_.Board();
  for (int32_t x = 1; x <= board.size; ++x)
    for (int32_t y = 1; y <= board.size; ++y)
      if (board.at(x, y) == CellEmpty) empty.emplace_back(x, y);
  if (empty.empty()) {
    game_.WithdrawCountedStone();
    return "ERROR the board is full, no move is left";
  }
  const auto [x, y] = empty[static_cast<std::size_t>(Draw(static_cast<int32_t>(empty.size()))) - 1];
  game_.PlaceUnrecordedStone(x, y);
  return ReplyText(x, y);
}

void MoveDecision::SeedStoreFromSearch(int64_t currentKey, int32_t turnStartMs,
                                       int32_t searchLimitMs) {
  searcher_.SetTimeLimit(turnStartMs, searchLimitMs);
  const int32_t rootMoves =
      searcher_.ThreatSearch(game_.LastOpponentMove(), CellOpponent, game_.Board(), 0, RootAlpha,
                             RootBeta, CandidateList, SearchDepthLimit);
  for (int32_t i = 1; i <= rootMoves; ++i) {
    const MoveRecord& root = CandidateList[static_cast<std::size_t>(i)];
    const int32_t value = root.score;
    if (value == TimeUpScore) continue;
    // A forced win is worth its value in wins, a forced loss its value in
    // losses; a move without a verdict enters at 1 and 1.
    const int32_t wins = value > 0 ? value : 1;
    const int32_t losses = value < 0 ? -value : 1;
    store_.RecordMove(game_.TrialKey(root.x, root.y), currentKey, root.x + game_.NormXVec(),
                      root.y + game_.NormYVec(), game_.MoveCount(), wins, losses);
  }
}

// Steps 9 and 10 end here: the engine's stone on the board, in the buffer,
// in the key history and in the store.
std::string MoveDecision::PlayCountedStone(int64_t currentKey, int32_t x, int32_t y) {
  const MoveEntry entry = game_.PlaceCountedStone(x, y);
  store_.RecordMove(game_.PositionKey(), currentKey, entry.x, entry.y, game_.MoveCount(), 1, 1);
  return ReplyText(x, y);
}

}  // namespace quorvex

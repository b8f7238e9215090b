#include "search/threat_search.h"

#include "engine/scores.h"
#include "engine/util.h"

namespace quorvex {

namespace {

int32_t Opponent(int32_t side) { return side == CellOwn ? CellOpponent : CellOwn; }

int32_t FiveValue(int32_t mover, int32_t d) {
  const int32_t value = (50 - d) * 1000;
  return mover == CellOwn ? value : -value;
}

// At the root only clear verdicts stand; small values are template scores
// that leaked up from the depth limit.
int32_t RootValue(int32_t v) { return (v > 1000 || v < -1000) ? v : 0; }

}  // namespace

ThreatSearcher::ThreatSearcher(CandidateRanker& ranker, const std::function<int32_t()>& clock)
    : ranker_(ranker), clock_(clock) {}

void ThreatSearcher::SetTimeLimit(int32_t turnStartMs, int32_t limitMs) {
  turnStartMs_ = turnStartMs;
  limitMs_ = limitMs;
}

ThreatSearcher::Node& ThreatSearcher::NodeAt(int32_t d) { return pool_[d]; }

bool ThreatSearcher::TimeIsUp() const { return clock_() - turnStartMs_ > limitMs_; }

template <typename Keep>
void ThreatSearcher::SelectMoves(const MoveList& from, MoveList& to, Keep keep) {
  to.clear();
  to.push_back(MoveRecord{});
  if (++stamp_ == 0) {
    for (auto& column : seen_) column.fill(0);
    stamp_ = 1;
  }
  const int32_t count = ListCount(from);
  for (int32_t i = 1; i <= count; ++i) {
    const MoveRecord& entry = from[i];
    if (!keep(entry)) continue;
    uint32_t& mark = seen_[entry.x][entry.y];
    if (mark == stamp_) continue;
    mark = stamp_;
    to.push_back(entry);
  }
}

int32_t ThreatSearcher::ThreatSearch(const MoveRecord& move, int32_t mover, const Board& board,
                                     int32_t depth, int32_t alpha, int32_t beta, MoveList& results,
                                     int32_t maxDepth) {
  // Step 1-2: the node's own board with the move on it.
  const int32_t d = depth + 1;
  // The pool grows only in the outermost call, before any node holds a
  // reference into it: below it lie d + 1 (the root always expands) up to
  // maxDepth + 1.
  if (running_ == 0) {
    const auto needed = static_cast<std::size_t>(MaxInt(d, maxDepth)) + 2;
    if (pool_.size() < needed) pool_.resize(needed);
  }
  const RunningCall running(running_);
  Node& node = NodeAt(d);
  ++nodes_;
  node.board = board;
  // A root move that is no point (a listing without an opponent stone)
  // is searched from the board as it stands.
  if (node.board.IsPlayable(move.x, move.y)) node.board.at(move.x, move.y) = mover;
  const int32_t toMove = Opponent(mover);

  // Step 3: below the root, a five ends the line before the clock is read.
  if (d >= 2) {
    if (IsFiveAt(mover, node.board, move.x, move.y)) return FiveValue(mover, d);
    if (TimeIsUp()) return TimeUpScore;
  }

  // Step 4: every candidate of the position.
  MoveList& list = node.candidates;
  ranker_.RankCandidates(node.board, list, FullListLevel, mover);
  const int32_t count = ListCount(list);
  MoveList& moves = node.moves;

  if (d == 1) {
    // Root rules: a five to make or to stop answers alone, and so does a
    // position without threats.
    auto answerAlone = [&](const MoveRecord& entry) {
      results.resize(2);
      results[1].x = entry.x;
      results[1].y = entry.y;
      results[1].score = 0;
      return 1;
    };
    if (count == 0) {
      results.resize(1);
      return 0;
    }
    const MoveRecord& top = list[1];
    if (top.side == CellOwn && top.score >= FourScore) return answerAlone(top);
    if (top.side == CellOpponent && top.score >= FourScore) return answerAlone(top);
    SelectMoves(list, moves, [](const MoveRecord& e) {
      return e.score >= ClosedThreeScore && e.side == CellOwn;
    });
    if (moves.size() == 1) {
      SelectMoves(list, moves, [](const MoveRecord& e) {
        return e.score > ClosedThreeScore && e.side == CellOpponent;
      });
    }
    if (moves.size() == 1) return answerAlone(top);

    // Every root move is searched with the full window: the root neither
    // narrows it nor cuts off.
    const auto n = static_cast<int32_t>(moves.size()) - 1;
    results.resize(n + 1);
    for (int32_t i = 1; i <= n; ++i) {
      const MoveRecord child = moves[i];
      results[i].x = child.x;
      results[i].y = child.y;
      const int32_t v = ThreatSearch(child, toMove, node.board, d, alpha, beta, results, maxDepth);
      results[i].score = RootValue(v);
    }
    return n;
  }

  // Step 5: the forcing moves of an inner node.
  if (d > maxDepth) return count > 0 ? list[1].score : 0;
  const auto selections = {
      +[](const MoveRecord& e, int32_t own, int32_t) { return e.score >= FourScore && e.side == own; },
      +[](const MoveRecord& e, int32_t, int32_t other) { return e.score >= FourScore && e.side == other; },
      +[](const MoveRecord& e, int32_t own, int32_t) { return e.score >= ClosedThreeScore && e.side == own; },
      +[](const MoveRecord& e, int32_t, int32_t other) { return e.score > ClosedThreeScore && e.side == other; },
  };
  moves.clear();
  for (const auto select : selections) {
    SelectMoves(list, moves, [&](const MoveRecord& e) { return select(e, toMove, mover); });
    if (moves.size() > 1) break;
  }
  if (moves.size() == 1) return 0;

  // Step 6: fail-hard alpha-beta; the engine maximises, the opponent minimises.
  const auto n = static_cast<int32_t>(moves.size()) - 1;
  for (int32_t i = 1; i <= n; ++i) {
    const MoveRecord child = moves[i];
    const int32_t v = ThreatSearch(child, toMove, node.board, d, alpha, beta, results, maxDepth);
    if (mover == CellOpponent) {
      alpha = MaxInt(alpha, v);
      if (beta <= alpha) return beta;
    } else {
      beta = MinInt(beta, v);
      if (beta <= alpha) return alpha;
    }
  }
  return mover == CellOpponent ? alpha : beta;
}

}  // namespace quorvex

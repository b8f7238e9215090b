#include "search/threat_search.h"

#include "eval/scores.h"
#include "platform/util.h"

namespace quorvex {

namespace {

int32_t Opponent(int32_t side) { return side == CellOwn ? CellOpponent : CellOwn; }

int32_t FiveValue(int32_t mover, int32_t d) {
  const int32_t value = (50 - d) * 1000;
  return mover == CellOwn ? value : -value;
}

// At the root only clear verdicts stand; small values are template scores
// that leaked up from the depth limit.
int32_t RootValue(int32_t value) { return (value > 1000 || value < -1000) ? value : 0; }

// A node's stone stays on the position for exactly the node's call.
template <typename Position>
class PlayedStone {
 public:
  PlayedStone(Position& position, const MoveRecord& move, int32_t code) : position_(position) {
    position_.Play(move, code);
  }
  ~PlayedStone() { position_.TakeBack(); }
  PlayedStone(const PlayedStone&) = delete;
  PlayedStone& operator=(const PlayedStone&) = delete;

 private:
  Position& position_;
};

}  // namespace

template <typename Position>
BasicThreatSearcher<Position>::BasicThreatSearcher(CandidateRanker& ranker,
                                                   const std::function<int32_t()>& clock)
    : position_(ranker), clock_(clock) {}

template <typename Position>
void BasicThreatSearcher<Position>::SetTimeLimit(int32_t turnStartMs, int32_t limitMs) {
  turnStartMs_ = turnStartMs;
  limitMs_ = limitMs;
}

template <typename Position>
bool BasicThreatSearcher<Position>::TimeIsUp() const {
  return clock_() - turnStartMs_ > limitMs_;
}

template <typename Position>
int32_t BasicThreatSearcher<Position>::ThreatSearch(const MoveRecord& move, int32_t mover,
                                                    const Board& board, int32_t depth, int32_t alpha,
                                                    int32_t beta, MoveList& results, int32_t maxDepth) {
  // Room for every node of the search before any node holds a reference:
  // below the first lie d + 1 (the root always expands) up to maxDepth + 1.
  const auto plies = static_cast<std::size_t>(MaxInt(depth + 1, maxDepth)) + 2;
  if (moves_.size() < plies) moves_.resize(plies);
  position_.Reserve(static_cast<int32_t>(plies));
  position_.Start(board);
  return Node(move, mover, depth, alpha, beta, results, maxDepth);
}

template <typename Position>
int32_t BasicThreatSearcher<Position>::Node(const MoveRecord& move, int32_t mover, int32_t depth,
                                            int32_t alpha, int32_t beta, MoveList& results,
                                            int32_t maxDepth) {
  // Step 1-2: the node's stone on the position. A root move that is no
  // point (a listing without an opponent stone) is searched from the
  // board as it stands.
  const int32_t d = depth + 1;
  ++nodes_;
  const PlayedStone<Position> played(position_, move, mover);
  const int32_t toMove = Opponent(mover);

  // Step 3: below the root, a five ends the line before the clock is read.
  if (d >= 2) {
    if (IsFiveAt(mover, position_.board(), move.x, move.y)) return FiveValue(mover, d);
    if (TimeIsUp()) return TimeUpScore;
  }

  // Step 4: every candidate of the position, read only before the children
  // run, since they rank positions of their own.
  const auto& ranked = position_.Rank(mover);
  MoveList& moves = moves_[static_cast<std::size_t>(d)];

  if (d == 1) {
    // Root rules: a five to make or to stop answers alone, and so does a
    // position without threats.
    if (ranked.Count() == 0) {
      results.resize(1);
      return 0;
    }
    // The answer alone is the list's first entry; it is read only then.
    auto answerAlone = [&results, &ranked] {
      const MoveRecord top = ranked.At(1);
      results.resize(2);
      results[1].x = top.x;
      results[1].y = top.y;
      results[1].score = 0;
      return 1;
    };
    if (ranked.TopScore() >= FourScore) return answerAlone();  // either side's five
    ranked.Select(ClosedThreeScore, CellOwn, taken_, moves);
    if (moves.size() == 1) ranked.Select(ClosedThreeScore + 1, CellOpponent, taken_, moves);
    if (moves.size() == 1) return answerAlone();

    // Every root move is searched with the full window: the root neither
    // narrows it nor cuts off.
    const auto rootMoves = static_cast<int32_t>(moves.size()) - 1;
    results.resize(static_cast<std::size_t>(rootMoves) + 1);
    for (int32_t i = 1; i <= rootMoves; ++i) {
      const MoveRecord child = moves[static_cast<std::size_t>(i)];
      results[static_cast<std::size_t>(i)].x = child.x;
      results[static_cast<std::size_t>(i)].y = child.y;
      const int32_t value = Node(child, toMove, d, alpha, beta, results, maxDepth);
      results[static_cast<std::size_t>(i)].score = RootValue(value);
    }
    return rootMoves;
  }

  // Step 5: the forcing moves of an inner node, from the first selection
  // that is not empty: the side to move's fours, the other side's fours,
  // the side to move's threes, the other side's threes above 60.
  if (d > maxDepth) return ranked.TopScore();
  ranked.Select(FourScore, toMove, taken_, moves);
  if (moves.size() == 1) ranked.Select(FourScore, mover, taken_, moves);
  if (moves.size() == 1) ranked.Select(ClosedThreeScore, toMove, taken_, moves);
  if (moves.size() == 1) ranked.Select(ClosedThreeScore + 1, mover, taken_, moves);
  if (moves.size() == 1) return 0;

  // Step 6: fail-hard alpha-beta; the engine maximises, the opponent minimises.
  const auto forcingMoves = static_cast<int32_t>(moves.size()) - 1;
  for (int32_t i = 1; i <= forcingMoves; ++i) {
    const MoveRecord child = moves[static_cast<std::size_t>(i)];
    const int32_t value = Node(child, toMove, d, alpha, beta, results, maxDepth);
    if (mover == CellOpponent) {
      alpha = MaxInt(alpha, value);
      if (beta <= alpha) return beta;
    } else {
      beta = MinInt(beta, value);
      if (beta <= alpha) return alpha;
    }
  }
  return mover == CellOpponent ? alpha : beta;
}

template class BasicThreatSearcher<IncrementalPosition>;
template class BasicThreatSearcher<CopyMakePosition>;

}  // namespace quorvex

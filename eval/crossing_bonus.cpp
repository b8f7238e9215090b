#include "eval/crossing_bonus.h"

namespace quorvex {
namespace {

std::size_t PointIndex(const MoveRecord& c) { return static_cast<std::size_t>(c.x * BoardSpan + c.y); }

}  // namespace

CrossingPass::CrossingPass(int32_t maxCandidates) : next_(static_cast<std::size_t>(maxCandidates) + 1) {}

void CrossingPass::Apply(MoveRecord* c, int32_t n) {
  // 1. Chain the candidates of each point, in collection order. Those
  //    below TwoScore can neither gain the bonus nor grant it.
  for (int32_t i = n; i >= 1; --i) {
    if (c[i].score < TwoScore) continue;
    int32_t& head = head_[PointIndex(c[i])];
    next_[static_cast<std::size_t>(i)] = head;
    head = i;
  }

  // 2. In collection order, raise each two or three that finds a partner
  //    not yet raised itself.
  for (int32_t a = 1; a <= n; ++a) {
    MoveRecord& ca = c[a];
    if (!CanGainCrossingBonus(ca.score)) continue;
    for (int32_t b = head_[PointIndex(ca)]; b != 0; b = next_[static_cast<std::size_t>(b)]) {
      const MoveRecord& cb = c[b];
      if (cb.direction != ca.direction && cb.bonus == 0 && cb.side == ca.side && cb.score >= TwoScore) {
        ca.score += CrossingBonus;
        ca.bonus = 1;
        break;
      }
    }
  }

  // 3. Leave the chain heads empty for the next call.
  for (int32_t i = 1; i <= n; ++i) head_[PointIndex(c[i])] = 0;
}

}  // namespace quorvex

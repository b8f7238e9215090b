#include "eval/crossing_bonus.h"

#include "engine/scores.h"

namespace quorvex {

void AddCrossingBonus(MoveRecord* c, int32_t n) {
  for (int32_t a = 1; a <= n; ++a) {
    MoveRecord& ca = c[a];
    if (ca.score != TwoScore && ca.score != ClosedThreeScore && ca.score != OpenThreeScore) continue;
    for (int32_t b = 1; b <= n; ++b) {
      const MoveRecord& cb = c[b];
      // A partner that has already taken the bonus is spent: a plain
      // crossing of two shapes rewards only the earlier of the two.
      if (cb.x == ca.x && cb.y == ca.y && cb.direction != ca.direction && ca.bonus == 0 &&
          cb.bonus == 0 && cb.side == ca.side && cb.score >= TwoScore) {
        ca.score += CrossingBonus;
        ca.bonus = 1;
      }
    }
  }
}

}  // namespace quorvex

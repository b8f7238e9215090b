#include "brain/outcome_scan.h"

#include "eval/scores.h"
#include "game/board.h"

namespace quorvex {

std::optional<int32_t> ScanOutcome(const MoveList& candidates) {
  const int32_t count = ListCount(candidates);
  int32_t opponentFours = 0;
  for (int32_t i = 1; i <= count; ++i) {
    const MoveRecord& entry = candidates[static_cast<std::size_t>(i)];
    if (entry.score >= FourScore && entry.side == CellOwn) return 1;
    if (entry.score > FourScore && entry.side == CellOpponent) return 0;
    if (entry.score >= FourScore && entry.side == CellOpponent && ++opponentFours == 2) return 0;
  }
  return std::nullopt;
}

}  // namespace quorvex

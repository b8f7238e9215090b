#include "game/board.h"

namespace quorvex {

void ClearBoard(Board& board, int32_t size) {
  board.size = size;
  for (auto& column : board.cell) column.fill(CellEmpty);
  const int32_t ring = size + 1;
  for (int32_t i = 0; i <= ring; ++i) {
    board.at(i, 0) = CellBorder;
    board.at(i, ring) = CellBorder;
    board.at(0, i) = CellBorder;
    board.at(ring, i) = CellBorder;
  }
}

// A five through the point is the point's stone and the runs of the same
// code on either side of it, each looked at only as far as four cells: a
// cell off the playable area, or of another code, ends a run. (Cells off
// the area only ever lie at the ends of a line's nine cells, so ending the
// run there counts the same stones as passing over them.)
int32_t IsFiveAt(int32_t code, const Board& board, int32_t x, int32_t y) {
  static constexpr int32_t kLines[4][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
  if (!board.IsPlayable(x, y) || board.at(x, y) != code) return 0;
  auto runFrom = [&](int32_t dx, int32_t dy) {
    int32_t run = 0;
    for (int32_t k = 1; k <= 4; ++k) {
      const int32_t cx = x + k * dx;
      const int32_t cy = y + k * dy;
      if (!board.IsPlayable(cx, cy) || board.at(cx, cy) != code) break;
      ++run;
    }
    return run;
  };
  for (const auto& line : kLines) {
    if (1 + runFrom(line[0], line[1]) + runFrom(-line[0], -line[1]) >= 5) return 1;
  }
  return 0;
}

}  // namespace quorvex

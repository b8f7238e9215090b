#include "engine/board.h"

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

int32_t IsFiveAt(int32_t code, const Board& board, int32_t x, int32_t y) {
  static constexpr int32_t kLines[4][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
  for (const auto& line : kLines) {
    int32_t run = 0;
    for (int32_t i = -4; i <= 4; ++i) {
      const int32_t cx = x + i * line[0];
      const int32_t cy = y + i * line[1];
      if (!board.IsPlayable(cx, cy)) continue;
      if (board.at(cx, cy) == code) {
        if (++run == 5) return 1;
      } else {
        run = 0;
      }
    }
  }
  return 0;
}

}  // namespace quorvex

#pragma once
// The playing grid and the five-in-a-row test.
//
// Board is 27 x 27 cells addressed (x, y), x the major index. On a board of
// `size` points (20 by default) the playable points are 1..size in both
// directions and the border ring sits at indices 0 and size + 1. Every cell
// past the ring stays CellEmpty: the pattern windows read six cells from any
// origin 0..21 along a line and may run to index 26 without a bounds test.

#include <array>
#include <cstdint>

namespace quorvex {

inline constexpr int32_t CellEmpty = 0;
inline constexpr int32_t CellBorder = 1;
inline constexpr int32_t CellOwn = 2;
inline constexpr int32_t CellOpponent = 3;

inline constexpr int32_t BoardSpan = 27;       // cells per index, ring and padding included
inline constexpr int32_t DefaultBoardSize = 20;
inline constexpr int32_t MinBoardSize = 11;    // the engine opens at internal (11, 11)
inline constexpr int32_t MaxBoardSize = 20;

struct Board {
  // cell[x][y]; the cells of one x are contiguous.
  std::array<std::array<int32_t, BoardSpan>, BoardSpan> cell{};
  // Number of playable points along each edge. Only the protocol's START
  // changes it; readers use it wherever the playable range matters.
  int32_t size = DefaultBoardSize;

  int32_t& at(int32_t x, int32_t y) { return cell[x][y]; }
  int32_t at(int32_t x, int32_t y) const { return cell[x][y]; }

  // True when (x, y) is a playable point of this board.
  bool IsPlayable(int32_t x, int32_t y) const {
    return x >= 1 && x <= size && y >= 1 && y <= size;
  }
};

// Lays out an empty game on `board` with `size` points a side: playable
// points CellEmpty, the ring at 0 and size + 1 (corners included) CellBorder.
// Cells beyond the ring are cleared too, so a board that shrinks leaves no
// stale ring behind. Requires MinBoardSize <= size <= MaxBoardSize.
void ClearBoard(Board& board, int32_t size);

// 1 if the point (x, y) lies on five or more consecutive cells holding
// `code` along one of the four lines through it, else 0. Cells off the
// playable area are skipped (never counted, never break a run).
int32_t IsFiveAt(int32_t code, const Board& board, int32_t x, int32_t y);

}  // namespace quorvex

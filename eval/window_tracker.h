#pragma once
// The template of every window of a board, kept up to date as stones come
// and go.
//
// A window is the run of six cells from an origin (x, y), x and y in 0..21,
// along one of the four directions of the ranking's scan; windows are
// numbered in scan order, (x * 22 + y) * 4 + direction - 1, and only those
// the scan reads exist here (origins up to the ring, direction 4 from
// x >= 5 and up to y = 16). A stone changes the six windows through it in
// each direction, 24 at most, so a change costs 24 key updates instead of
// a scan of the board.
//
// The matched windows are kept per score class (the distinct template
// scores, highest first) as bitsets over window numbers, so that reading a
// class's set bits in order gives its windows in scan order, as the scan
// finds them.
//
// For the crossing bonus it also counts, per point and side, the windows
// scoring TwoScore or more that propose the point, along each direction.

#include <array>
#include <cstdint>
#include <vector>

#include "eval/templates.h"
#include "game/board.h"

namespace quorvex {

inline constexpr int32_t WindowOrigins = 22;  // origins 0..21 in x and in y
inline constexpr int32_t WindowCount = WindowOrigins * WindowOrigins * 4;
inline constexpr int32_t WindowWords = (WindowCount + 63) / 64;
inline constexpr int32_t MaxScoreClasses = 16;

constexpr int32_t WindowX(int32_t window) { return window / 4 / WindowOrigins; }
constexpr int32_t WindowY(int32_t window) { return window / 4 % WindowOrigins; }
constexpr int32_t WindowDirection(int32_t window) { return window % 4 + 1; }

// The grid cell (x * BoardSpan + y) of each window's first cell.
inline constexpr auto WindowOriginCell = [] {
  std::array<uint16_t, WindowCount> cells{};
  for (int32_t w = 0; w < WindowCount; ++w) cells[static_cast<std::size_t>(w)] = static_cast<uint16_t>(WindowX(w) * BoardSpan + WindowY(w));
  return cells;
}();

class WindowTracker {
 public:
  // Keeps a reference to `tables`, read from the first Reset on; `tables`
  // must be filled by then and outlive the tracker.
  explicit WindowTracker(const TemplateTables& tables);

  // Takes `board` (its cells and size) and matches every window of it;
  // a board of the same size that differs from the tracked one in a few
  // playable points is followed point by point instead.
  void Reset(const Board& board);

  // Sets the cell (x, y) to `code` and rematches the windows through it.
  // Requires (x, y) to be a playable point of the board.
  void SetCell(int32_t x, int32_t y, int32_t code);

  const Board& board() const { return board_; }

  // Score classes, highest score first.
  int32_t ClassCount() const { return classCount_; }
  int32_t ClassScore(int32_t c) const { return classScore_[static_cast<std::size_t>(c)]; }
  // The windows of class c as a bitset of WindowWords words, and which of
  // those words are not 0 (bit k for word k).
  const uint64_t* ClassWindows(int32_t c) const { return classWindows_[static_cast<std::size_t>(c)].data(); }
  uint32_t ClassWords(int32_t c) const { return classWords_[static_cast<std::size_t>(c)]; }
  // The cells the windows of class c propose, counted once per window.
  int32_t ClassMoves(int32_t c) const { return classMoves_[static_cast<std::size_t>(c)]; }

  // The template matched by `window`, 0 for none.
  int32_t TemplateAt(int32_t window) const { return templateNo_[static_cast<std::size_t>(window)]; }

  // The cells a template proposes along a direction, as steps from the
  // window's first cell in units of the grid (x * BoardSpan + y).
  struct Proposals {
    std::array<std::array<int16_t, 4>, 5> step{};  // by direction 1..4
    int32_t count = 0;
    int32_t side = 0;
  };
  const Proposals& ProposalsOf(int32_t templateNo) const {
    return proposals_[static_cast<std::size_t>(templateNo)];
  }

  // Windows of TwoScore or more proposing the point (x * BoardSpan + y)
  // for `side`: one byte per direction, direction d in bits 8(d - 1)..
  static std::size_t CrossingSlot(int32_t point, int32_t side) {
    return static_cast<std::size_t>(point) * 2 + (side == CellOwn ? 0 : 1);
  }
  uint32_t CrossingCounts(std::size_t slot) const { return crossing_[slot]; }

 private:
  // A window through a cell, and where the cell sits in the window's key.
  struct CellWindow {
    uint16_t window;
    uint8_t shift;
  };
  static constexpr int32_t MaxWindowsPerCell = 24;

  bool Follow(const Board& board);
  void BuildTemplateInfo();
  void BuildCellWindows();
  void Match(int32_t window, int32_t templateNo);
  void CountCrossing(int32_t window, int32_t templateNo, int32_t sign);

  const TemplateTables& tables_;
  Board board_;
  int32_t cellWindowsSize_ = 0;  // the board size the cell lists were made for

  std::array<uint16_t, WindowCount> key_{};
  std::array<uint8_t, WindowCount> templateNo_{};
  // Per cell (x * BoardSpan + y): the windows through it.
  std::vector<std::array<CellWindow, MaxWindowsPerCell>> cellWindows_;
  std::vector<uint8_t> cellWindowCount_;

  // Per template: its score class, the cells it proposes, and whether it
  // takes part in the crossing bonus.
  std::vector<uint8_t> templateClass_;
  std::vector<Proposals> proposals_;
  std::vector<uint8_t> crosses_;
  std::vector<uint32_t> crossing_;
  int32_t classCount_ = 0;
  std::array<int32_t, MaxScoreClasses> classScore_{};
  std::array<std::array<uint64_t, WindowWords>, MaxScoreClasses> classWindows_{};
  std::array<uint32_t, MaxScoreClasses> classWords_{};
  static_assert(WindowWords <= 32, "a word of the bitset per bit of the summary");
  std::array<int32_t, MaxScoreClasses> classMoves_{};
};

}  // namespace quorvex

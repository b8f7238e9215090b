#include "eval/window_tracker.h"

#include <algorithm>
#include <cassert>

#include "eval/scores.h"

namespace quorvex {
namespace {

// Cell steps of directions 1..4: x rises, y rises, both rise, x falls as y rises.
constexpr int32_t kStepX[5] = {0, 1, 0, 1, -1};
constexpr int32_t kStepY[5] = {0, 0, 1, 1, 1};

int32_t WindowNumber(int32_t x, int32_t y, int32_t direction) {
  return (x * WindowOrigins + y) * 4 + direction - 1;
}

// The windows the ranking's scan reads on a board of `size`: origins up to
// the ring, and direction 4 only where it stays on the grid and can reach
// a playable cell.
bool IsScanned(int32_t x, int32_t y, int32_t direction, int32_t size) {
  const int32_t last = std::min(WindowOrigins - 1, size + 1);
  if (x < 0 || y < 0 || x > last || y > last) return false;
  return direction != 4 || (x >= 5 && y <= 16);
}

}  // namespace

WindowTracker::WindowTracker(const TemplateTables& tables)
    : tables_(tables),
      cellWindows_(BoardSpan * BoardSpan),
      cellWindowCount_(BoardSpan * BoardSpan, 0),
      crossing_(BoardSpan * BoardSpan * 2, 0) {}

// The distinct template scores, highest first, each template's class and
// the cells it proposes in each direction.
void WindowTracker::BuildTemplateInfo() {
  const auto& table = tables_.TemplateTable;
  std::vector<int32_t> scores;
  for (std::size_t t = 1; t < table.size(); ++t) scores.push_back(table[t].score);
  std::sort(scores.begin(), scores.end(), [](int32_t a, int32_t b) { return a > b; });
  scores.erase(std::unique(scores.begin(), scores.end()), scores.end());
  assert(static_cast<int32_t>(scores.size()) <= MaxScoreClasses);
  classCount_ = static_cast<int32_t>(scores.size());
  std::copy(scores.begin(), scores.end(), classScore_.begin());

  templateClass_.assign(table.size(), 0);
  proposals_.assign(table.size(), Proposals{});
  crosses_.assign(table.size(), 0);
  for (std::size_t t = 1; t < table.size(); ++t) {
    const auto at = std::find(scores.begin(), scores.end(), table[t].score);
    templateClass_[t] = static_cast<uint8_t>(at - scores.begin());
    crosses_[t] = table[t].score >= TwoScore ? 1 : 0;
    Proposals& p = proposals_[t];
    p.count = table[t].moveCount;
    p.side = table[t].side;
    for (int32_t d = 1; d <= 4; ++d) {
      for (int32_t k = 1; k <= p.count; ++k) {
        const int32_t o = table[t].moveOffsets[static_cast<std::size_t>(k)];
        p.step[static_cast<std::size_t>(d)][static_cast<std::size_t>(k - 1)] =
            static_cast<int16_t>(o * kStepX[d] * BoardSpan + o * kStepY[d]);
      }
    }
  }
}

// For every playable point, the windows through it and the place of the
// point in each window's key (the first cell is the most significant).
void WindowTracker::BuildCellWindows() {
  std::fill(cellWindowCount_.begin(), cellWindowCount_.end(), 0);
  for (int32_t x = 1; x <= board_.size; ++x) {
    for (int32_t y = 1; y <= board_.size; ++y) {
      const auto cell = static_cast<std::size_t>(x * BoardSpan + y);
      for (int32_t d = 1; d <= 4; ++d) {
        for (int32_t k = 0; k < 6; ++k) {
          const int32_t ox = x - k * kStepX[d];
          const int32_t oy = y - k * kStepY[d];
          if (!IsScanned(ox, oy, d, board_.size)) continue;
          cellWindows_[cell][cellWindowCount_[cell]++] = {static_cast<uint16_t>(WindowNumber(ox, oy, d)),
                                                          static_cast<uint8_t>(2 * (5 - k))};
        }
      }
    }
  }
  cellWindowsSize_ = board_.size;
}

// Counts (sign +1) or uncounts (-1) the cells `templateNo` proposes from
// `window` among the crossing counts.
void WindowTracker::CountCrossing(int32_t window, int32_t templateNo, int32_t sign) {
  const Proposals& p = proposals_[static_cast<std::size_t>(templateNo)];
  const int32_t direction = WindowDirection(window);
  const int32_t origin = WindowOriginCell[static_cast<std::size_t>(window)];
  const uint32_t unit = static_cast<uint32_t>(sign) << (8 * (direction - 1));
  const auto& steps = p.step[static_cast<std::size_t>(direction)];
  for (int32_t k = 0; k < p.count; ++k) {
    crossing_[CrossingSlot(origin + steps[static_cast<std::size_t>(k)], p.side)] += unit;
  }
}

void WindowTracker::Match(int32_t window, int32_t templateNo) {
  const auto w = static_cast<std::size_t>(window);
  const uint64_t bit = uint64_t{1} << (w % 64);
  if (const int32_t old = templateNo_[w]) {
    const auto t = static_cast<std::size_t>(old);
    const std::size_t c = templateClass_[t];
    uint64_t& word = classWindows_[c][w / 64];
    word &= ~bit;
    if (word == 0) classWords_[c] &= ~(uint32_t{1} << (w / 64));
    classMoves_[c] -= proposals_[t].count;
    if (crosses_[t]) CountCrossing(window, old, -1);
  }
  if (templateNo) {
    const auto t = static_cast<std::size_t>(templateNo);
    const std::size_t c = templateClass_[t];
    classWindows_[c][w / 64] |= bit;
    classWords_[c] |= uint32_t{1} << (w / 64);
    classMoves_[c] += proposals_[t].count;
    if (crosses_[t]) CountCrossing(window, templateNo, 1);
  }
  templateNo_[w] = static_cast<uint8_t>(templateNo);
}

void WindowTracker::Reset(const Board& board) {
  if (Follow(board)) return;
  board_ = board;
  if (templateClass_.empty()) BuildTemplateInfo();
  if (cellWindowsSize_ != board_.size) BuildCellWindows();

  templateNo_.fill(0);
  key_.fill(0);
  for (auto& bits : classWindows_) bits.fill(0);
  classWords_.fill(0);
  classMoves_.fill(0);
  std::fill(crossing_.begin(), crossing_.end(), 0);
  const auto& lookup = tables_.TemplateLookup;
  for (int32_t x = 0; x < WindowOrigins; ++x) {
    for (int32_t y = 0; y < WindowOrigins; ++y) {
      for (int32_t d = 1; d <= 4; ++d) {
        if (!IsScanned(x, y, d, board_.size)) continue;
        int32_t key = 0;
        for (int32_t k = 0; k < 6; ++k) key = key * 4 + board_.at(x + k * kStepX[d], y + k * kStepY[d]);
        const int32_t window = WindowNumber(x, y, d);
        key_[static_cast<std::size_t>(window)] = static_cast<uint16_t>(key);
        if (const int32_t t = lookup[static_cast<std::size_t>(key)]) Match(window, t);
      }
    }
  }
}

// A board of the same size that differs from the one tracked by a few
// stones, as the next move's search finds it, is reached stone by stone.
bool WindowTracker::Follow(const Board& board) {
  constexpr int32_t kMostStones = 32;  // past this, a full match costs less
  if (templateClass_.empty() || cellWindowsSize_ != board.size || board_.size != board.size) return false;
  std::array<std::pair<int32_t, int32_t>, kMostStones> changed{};
  int32_t count = 0;
  for (int32_t x = 0; x < BoardSpan; ++x) {
    if (board.cell[static_cast<std::size_t>(x)] == board_.cell[static_cast<std::size_t>(x)]) continue;
    for (int32_t y = 0; y < BoardSpan; ++y) {
      if (board.at(x, y) == board_.at(x, y)) continue;
      if (!board.IsPlayable(x, y) || count == kMostStones) return false;
      changed[static_cast<std::size_t>(count++)] = {x, y};
    }
  }
  for (int32_t i = 0; i < count; ++i) {
    const auto [x, y] = changed[static_cast<std::size_t>(i)];
    SetCell(x, y, board.at(x, y));
  }
  return true;
}

void WindowTracker::SetCell(int32_t x, int32_t y, int32_t code) {
  int32_t& cell = board_.at(x, y);
  const int32_t delta = code - cell;
  if (delta == 0) return;
  cell = code;
  const auto& lookup = tables_.TemplateLookup;
  const auto c = static_cast<std::size_t>(x * BoardSpan + y);
  const auto& windows = cellWindows_[c];
  for (int32_t i = 0; i < cellWindowCount_[c]; ++i) {
    const CellWindow cw = windows[static_cast<std::size_t>(i)];
    uint16_t& key = key_[cw.window];
    key = static_cast<uint16_t>(key + delta * (1 << cw.shift));
    const int32_t t = lookup[key];
    if (t != templateNo_[cw.window]) Match(cw.window, t);
  }
}

}  // namespace quorvex

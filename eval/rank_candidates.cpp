#include "eval/rank_candidates.h"

#include <algorithm>
#include <array>

#include "eval/candidate_selection.h"
#include "eval/candidate_sort.h"

namespace quorvex {
namespace {

constexpr int32_t kOrigins = 22;  // window origins 0..21 in x and in y
constexpr int32_t kMaxWindows = kOrigins * kOrigins * 4;
constexpr int32_t kMaxMovesPerTemplate = 4;
constexpr int32_t kMaxCandidates = kMaxWindows * kMaxMovesPerTemplate;
constexpr int32_t kTopBucket = 200;

// Cell steps of directions 1..4: x rises, y rises, both rise, x falls as y rises.
constexpr int32_t kStepX[5] = {0, 1, 0, 1, -1};
constexpr int32_t kStepY[5] = {0, 0, 1, 1, 1};

}  // namespace

CandidateRanker::CandidateRanker(const TemplateTables& tables)
    : tables_(tables),
      windows_(kMaxWindows),
      buckets_(kMaxWindows),
      bucketStart_(kTopBucket + 2),
      candidates_(kMaxCandidates + 1),
      ranked_(kMaxCandidates + 1),
      sortKeys_(kMaxCandidates + 1),
      crossing_(kMaxCandidates) {}

// Step 1. Every window in scan order: x outer, y inner, directions 1..4.
// Direction 4 runs towards x - 5, so it starts only where x >= 5; from
// y > 16 it would leave the board through the ring and can fit nothing.
//
// Origins stop at the ring (size + 1): a window from further out lies
// wholly past the ring, or crosses it with the ring inside the window,
// and no template has a stone past the ring or the ring anywhere but its
// first or last cell. On a full-size board this is every origin.
//
// Each key is rolled from a neighbouring window read earlier in the scan
// rather than read anew: one cell in, one cell out. keyX[y] holds the key
// of direction 1 at (x, y), keyDiag[y] that of direction 3 and keyAnti[y]
// that of direction 4 (meaningful from x >= 5 on, when all six cells lie
// on the grid).
void CandidateRanker::ScanWindows(const Board& board) {
  constexpr int32_t kKeyMask = TemplateLookupSize - 1;
  const auto& cell = board.cell;
  const auto& lookup = tables_.TemplateLookup;
  const int32_t last = std::min(kOrigins - 1, board.size + 1);

  std::array<int32_t, BoardSpan> keyX{};
  std::array<int32_t, BoardSpan> keyDiag{};
  std::array<int32_t, BoardSpan + 1> keyAnti{};  // entry last + 1 stays 0: cells past the ring
  windowCount_ = 0;
  auto record = [this](int32_t t, int32_t x, int32_t y, int32_t direction) {
    MoveRecord& w = windows_[static_cast<std::size_t>(windowCount_++)];
    w.x = x;
    w.y = y;
    w.direction = direction;
    w.templateNo = t;
  };

  for (int32_t x = 0; x <= last; ++x) {
    // The keys of the previous x, one cell short of a window at x = 0.
    if (x == 0) {
      for (int32_t y = 0; y <= last; ++y) {
        keyX[static_cast<std::size_t>(y)] = 0;
        for (int32_t k = 0; k < 5; ++k) keyX[static_cast<std::size_t>(y)] = keyX[static_cast<std::size_t>(y)] * 4 + cell[k][y];
      }
    }
    int32_t keyY = 0;
    for (int32_t k = 0; k < 5; ++k) keyY = keyY * 4 + cell[x][k];
    // Direction 3 from (x, y) continues direction 3 from (x - 1, y - 1):
    // walk y downwards so that entry y - 1 still holds the previous x.
    for (int32_t y = last; y >= 0; --y) {
      int32_t previous = 0;
      if (x == 0 || y == 0) {
        for (int32_t k = 0; k < 5; ++k) previous = previous * 4 + cell[x + k][y + k];
      } else {
        previous = keyDiag[static_cast<std::size_t>(y - 1)];
      }
      keyDiag[static_cast<std::size_t>(y)] = ((previous << 2) & kKeyMask) | cell[x + 5][y + 5];
    }
    // Direction 4 from (x, y) is the cell (x, y) in front of the first five
    // cells of direction 4 from (x - 1, y + 1): walk y upwards.
    for (int32_t y = 0; y <= last; ++y) {
      keyAnti[static_cast<std::size_t>(y)] = (cell[x][y] << 10) | (keyAnti[static_cast<std::size_t>(y + 1)] >> 2);
    }

    for (int32_t y = 0; y <= last; ++y) {
      int32_t& kx = keyX[static_cast<std::size_t>(y)];
      kx = ((kx << 2) & kKeyMask) | cell[x + 5][y];
      keyY = ((keyY << 2) & kKeyMask) | cell[x][y + 5];
      if (const int32_t t = lookup[static_cast<std::size_t>(kx)]) record(t, x, y, 1);
      if (const int32_t t = lookup[static_cast<std::size_t>(keyY)]) record(t, x, y, 2);
      if (const int32_t t = lookup[static_cast<std::size_t>(keyDiag[static_cast<std::size_t>(y)])]) record(t, x, y, 3);
      if (x >= 5 && y <= 16) {
        if (const int32_t t = lookup[static_cast<std::size_t>(keyAnti[static_cast<std::size_t>(y)])]) record(t, x, y, 4);
      }
    }
  }
}

// Step 2. Windows grouped by score from the top down, each group in scan
// order (a stable counting sort stands for the per-score buckets, so no
// group has a size limit), then every proposed cell of each window.
void CandidateRanker::CollectCandidates(int32_t side) {
  const auto& table = tables_.TemplateTable;

  std::fill(bucketStart_.begin(), bucketStart_.end(), 0);
  for (int32_t i = 0; i < windowCount_; ++i) {
    ++bucketStart_[static_cast<std::size_t>(table[static_cast<std::size_t>(windows_[i].templateNo)].score)];
  }
  // bucketStart_[s] := number of windows scoring above s, so the groups
  // come out from score 200 down.
  int32_t above = 0;
  for (int32_t s = kTopBucket + 1; s >= 0; --s) {
    const int32_t count = bucketStart_[static_cast<std::size_t>(s)];
    bucketStart_[static_cast<std::size_t>(s)] = above;
    above += count;
  }
  for (int32_t i = 0; i < windowCount_; ++i) {
    const int32_t score = table[static_cast<std::size_t>(windows_[i].templateNo)].score;
    buckets_[static_cast<std::size_t>(bucketStart_[static_cast<std::size_t>(score)]++)] = windows_[i];
  }

  candidateCount_ = 0;
  for (int32_t i = 0; i < windowCount_; ++i) {
    const MoveRecord& w = buckets_[static_cast<std::size_t>(i)];
    const PatternTemplate& t = table[static_cast<std::size_t>(w.templateNo)];
    for (int32_t k = 1; k <= t.moveCount; ++k) {
      const int32_t o = t.moveOffsets[static_cast<std::size_t>(k)];
      MoveRecord& c = candidates_[static_cast<std::size_t>(++candidateCount_)];
      c.x = w.x + o * kStepX[w.direction];
      c.y = w.y + o * kStepY[w.direction];
      c.score = t.score;
      c.direction = w.direction;
      c.templateNo = 0;
      c.side = t.side;
      c.bonus = 0;
      c.mine = t.side == side ? 1 : 0;
    }
  }
}

// Step 4. The quicksort, run on keys that carry the score in their high
// bits and the candidate's number in their low bits; the permutation it
// leaves depends on the scores alone, as it would on the records.
void CandidateRanker::SortCandidates() {
  static_assert(kMaxCandidates < (1 << 16), "candidate numbers fit the low half of a key");
  for (int32_t i = 1; i <= candidateCount_; ++i) {
    sortKeys_[static_cast<std::size_t>(i)] =
        static_cast<uint32_t>(candidates_[static_cast<std::size_t>(i)].score) << 16 | static_cast<uint32_t>(i);
  }
  QuickSortDescending(sortKeys_.data(), 1, candidateCount_, [](uint32_t key) { return static_cast<int32_t>(key >> 16); });
  for (int32_t i = 1; i <= candidateCount_; ++i) {
    ranked_[static_cast<std::size_t>(i)] = candidates_[sortKeys_[static_cast<std::size_t>(i)] & 0xffffu];
  }
}

int32_t CandidateRanker::RankCandidates(const Board& board, MoveList& list, int32_t level, int32_t side) {
  ScanWindows(board);                                             // 1. window scan
  CollectCandidates(side);                                        // 2. collection
  crossing_.Apply(candidates_.data(), candidateCount_);           // 3. crossing bonus
  SortCandidates();                                               // 4. sort
  if (level == FullListLevel) {                                   // 5. full listing
    ListAllCandidates(ranked_.data(), candidateCount_, list);
    return 0;
  }
  SelectCandidates(ranked_.data(), candidateCount_, level, list);  // 6. selection
  return -1;
}

}  // namespace quorvex

#include "eval/rank_candidates.h"

#include <algorithm>

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
      candidates_(kMaxCandidates + 1) {}

// Step 1. Every window in scan order: x outer, y inner, directions 1..4.
// Direction 4 runs towards x - 5, so it starts only where x >= 5; from
// y > 16 it would leave the board through the ring and can fit nothing.
void CandidateRanker::ScanWindows(const Board& board) {
  windowCount_ = 0;
  for (int32_t x = 0; x < kOrigins; ++x) {
    for (int32_t y = 0; y < kOrigins; ++y) {
      for (int32_t direction = 1; direction <= 4; ++direction) {
        if (direction == 4 && (x < 5 || y > 16)) continue;
        int32_t key = 0;
        for (int32_t k = 0; k < 6; ++k) {
          key = key * 4 + board.cell[x + k * kStepX[direction]][y + k * kStepY[direction]];
        }
        const int32_t t = tables_.TemplateLookup[static_cast<std::size_t>(key)];
        if (t == 0) continue;
        MoveRecord& w = windows_[windowCount_++];
        w.x = x;
        w.y = y;
        w.direction = direction;
        w.templateNo = t;
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
    const int32_t s = table[static_cast<std::size_t>(windows_[i].templateNo)].score;
    buckets_[static_cast<std::size_t>(bucketStart_[static_cast<std::size_t>(s)]++)] = windows_[i];
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

int32_t CandidateRanker::RankCandidates(const Board& board, MoveList& list, int32_t level, int32_t side) {
  ScanWindows(board);                                             // 1. window scan
  CollectCandidates(side);                                        // 2. collection
  AddCrossingBonus(candidates_.data(), candidateCount_);          // 3. crossing bonus
  SortByScoreDescending(candidates_.data(), 1, candidateCount_);  // 4. sort
  if (level == FullListLevel) {                                   // 5. full listing
    ListAllCandidates(candidates_.data(), candidateCount_, list);
    return 0;
  }
  SelectCandidates(candidates_.data(), candidateCount_, level, list);  // 6. selection
  return -1;
}

}  // namespace quorvex

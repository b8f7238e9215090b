#pragma once
// Candidate moves: the proposed cells of every template that fits along a
// line of the board, scored, crossed and ranked.

#include <cstdint>

#include "engine/board.h"
#include "engine/move_record.h"
#include "eval/templates.h"

namespace quorvex {

inline constexpr int32_t FullListLevel = 10000;  // every candidate, unmerged
inline constexpr int32_t CrossingBonus = 15;

class CandidateRanker {
 public:
  // `tables` must outlive the ranker.
  explicit CandidateRanker(const TemplateTables& tables);

  // Rebuilds `list`: entry 0 carries the count in its score, entries
  // 1..count the points in non-increasing score order, each an empty
  // playable cell. `side` is the stone code for which `mine` is set.
  // Returns 0 after a full listing (level FullListLevel), -1 after a capped
  // selection. Not reentrant: the ranker's working tables serve one call at
  // a time; `list` may be any list the caller owns.
  int32_t RankCandidates(const Board& board, MoveList& list, int32_t level, int32_t side);

 private:
  const TemplateTables& tables_;
};

}  // namespace quorvex

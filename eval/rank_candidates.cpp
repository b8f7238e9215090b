#include "eval/rank_candidates.h"

namespace quorvex {

CandidateRanker::CandidateRanker(const TemplateTables& tables) : tables_(tables) {}

// Placeholder until the ranking lands: no candidates anywhere.
int32_t CandidateRanker::RankCandidates(const Board&, MoveList& list, int32_t level, int32_t) {
  list.assign(1, MoveRecord{});
  return level == FullListLevel ? 0 : -1;
}

}  // namespace quorvex

#pragma once
// Candidate moves: the proposed cells of every template that fits along a
// line of the board, scored, crossed and ranked.
//
// Reads the board (cell codes at indices 0..26; the ring at size + 1 and
// the cells past it empty, as ClearBoard leaves them) and the template
// tables. Writes only the list the caller hands in. Keeps nothing from one
// call to the next but the capacity of its working tables.

#include <cstdint>
#include <vector>

#include "eval/crossing_bonus.h"
#include "eval/templates.h"
#include "game/board.h"
#include "game/move_record.h"

namespace quorvex {

inline constexpr int32_t FullListLevel = 10000;  // every candidate, unmerged

class CandidateRanker {
 public:
  // Keeps a reference to `tables` and reads them only inside RankCandidates,
  // so the tables may be filled after the ranker is made. `tables` must
  // outlive the ranker.
  explicit CandidateRanker(const TemplateTables& tables);

  // Rebuilds `list`: entry 0 carries the count in its score, entries
  // 1..count the points in non-increasing score order, each an empty
  // playable cell, with `side` the owner of the shape (CellOwn or
  // CellOpponent). `side` argument: the stone code for which `mine` is set.
  //
  // level FullListLevel: every candidate in ranked order, unmerged (a point
  // may appear once per template that proposes it); returns 0.
  // Any other level: the capped selection of SelectCandidates; returns -1.
  //
  // The order of equal scores is fixed (scan order, then the quicksort) and
  // callers may depend on it. Not reentrant: the working tables serve one
  // call at a time; `list` may be any list the caller owns. Allocates
  // nothing once `list` has held a result of this length.
  int32_t RankCandidates(const Board& board, MoveList& list, int32_t level, int32_t side);

  const TemplateTables& tables() const { return tables_; }

 private:
  void ScanWindows(const Board& board);
  void CollectCandidates(int32_t side);
  void SortCandidates();

  const TemplateTables& tables_;
  // Matched windows in scan order: x, y of the first cell, direction, templateNo.
  std::vector<MoveRecord> windows_;
  int32_t windowCount_ = 0;
  // The same windows grouped by template score, each group in scan order.
  std::vector<MoveRecord> buckets_;
  std::vector<int32_t> bucketStart_;
  // Working candidates 1..candidateCount_ (entry 0 unused), in collection
  // order, and the same candidates in ranked order.
  std::vector<MoveRecord> candidates_;
  std::vector<MoveRecord> ranked_;
  int32_t candidateCount_ = 0;
  // The sort moves one key per candidate, score << 16 | candidate number,
  // rather than whole records.
  std::vector<uint32_t> sortKeys_;
  CrossingPass crossing_;
};

}  // namespace quorvex

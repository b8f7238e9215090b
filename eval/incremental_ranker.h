#pragma once
// Candidate ranking kept up to date as stones come and go: the same lists
// as CandidateRanker's full scan, at a fraction of the cost when a board
// changes by a stone at a time, as in the threat search.
//
// The windows are tracked by WindowTracker, so a ranking starts from the
// matched windows instead of a scan. The rest is done only as far as a
// reader asks: the best score of a position with a four is known from the
// window counts alone; the fours of a side are collected without the
// lower classes; the crossing bonus runs when a score it can reach is
// asked about; the quicksort runs only when an order is read, and only
// over the head of the list that is read. Every entry read is the entry
// the full scan's list holds at that place, equal scores included.
//
// Not reentrant: one ranking at a time, read before the board changes or
// the ranker ranks again.

#include <array>
#include <cstdint>
#include <vector>

#include "eval/lazy_rank_sort.h"
#include "eval/point_selection.h"
#include "eval/rank_candidates.h"
#include "eval/templates.h"
#include "eval/window_tracker.h"
#include "game/board.h"
#include "game/move_record.h"

namespace quorvex {

class IncrementalRanker;

// The candidates of the position in ranked order. Valid until the ranker's
// board changes or it ranks again.
class RankedCandidates {
 public:
  int32_t Count() const { return count_; }
  // The best score, 0 without candidates.
  int32_t TopScore() const;
  // How many candidates score `score` or more: entries 1..that count.
  int32_t CountAtLeast(int32_t score) const;
  // Entry i (1..Count()) as the full listing has it: x, y, score, side and
  // mine set, the other fields 0. Cheapest read in rising order.
  MoveRecord At(int32_t i) const;
  // SelectOnePerPoint over this list. When the entries it keeps all lie on
  // one point their order does not matter, and nothing is sorted.
  void Select(int32_t minScore, int32_t side, PointMarks& marks, MoveList& to) const;

 private:
  friend class IncrementalRanker;
  explicit RankedCandidates(IncrementalRanker& ranker) : ranker_(ranker) {}

  IncrementalRanker& ranker_;
  int32_t count_ = 0;
  int32_t side_ = 0;
};

class IncrementalRanker {
 public:
  // Keeps a reference to `tables`, read from the first Reset on.
  // `cachedOrders` sizes the sort's table of orders met before (0: none).
  explicit IncrementalRanker(const TemplateTables& tables,
                             int32_t cachedOrders = LazyRankSort::DefaultCachedOrders);
  IncrementalRanker(const IncrementalRanker&) = delete;
  IncrementalRanker& operator=(const IncrementalRanker&) = delete;

  // Takes the position of `board`.
  void Reset(const Board& board) { windows_.Reset(board); }
  // Sets a playable point to `code` (CellEmpty to lift a stone).
  void SetCell(int32_t x, int32_t y, int32_t code) { windows_.SetCell(x, y, code); }
  const Board& board() const { return windows_.board(); }

  // Ranks the position for `side` (the stone code for which `mine` is set).
  const RankedCandidates& Rank(int32_t side);

  // What CandidateRanker::RankCandidates gives for this board, to the last
  // field: the full listing at FullListLevel (returns 0), else the capped
  // selection (returns -1).
  int32_t RankCandidates(MoveList& list, int32_t level, int32_t side);

 private:
  friend class RankedCandidates;

  // The stages of a ranking, each done at most once and only when asked.
  void CollectDownTo(int32_t score);  // every class scoring `score` or more
  void CollectThrough(int32_t candidate);
  void CollectClass(int32_t c);
  void EnsureCrossed() {
    if (!crossed_) CrossAll();
  }
  void EnsureKeyed() {
    if (!keyed_) KeyAll();
  }
  void CrossAll();
  void KeyAll();
  // Runs the bonus pass on over the classes up to `last`.
  void CrossThroughClass(int32_t last);
  void CountScores();
  void WriteSortScores();
  // Candidate `candidate` as a list entry into `to`, with mine set for `side`.
  void WriteEntry(int32_t candidate, int32_t side, MoveRecord& to) const;

  WindowTracker windows_;
  RankedCandidates ranked_{*this};

  // Working candidates 1..n in collection order (entry 0 unused), filled in
  // class by class as readers need them.
  std::vector<uint16_t> point_;
  std::vector<uint8_t> direction_;
  std::vector<uint8_t> side_;
  std::vector<int16_t> score_;
  int32_t collected_ = 0;  // candidates 1..collected_ are filled in
  int32_t nextClass_ = 0;  // the first class not collected
  bool crossed_ = false;   // the bonus pass is done, and the scores counted
  int32_t crossedClasses_ = 0;  // classes 0..crossedClasses_ - 1 have been through the pass
  int32_t crossFirst_ = 1;      // the first candidate of class crossedClasses_
  bool keyed_ = false;
  std::array<int32_t, MaxScoreClasses> raised_{};  // per class, how many gained the bonus

  // After the bonus: the distinct scores, highest first, with how many
  // candidates score at least that much.
  std::array<int32_t, 2 * MaxScoreClasses> scores_{};
  std::array<int32_t, 2 * MaxScoreClasses> atLeast_{};
  int32_t distinct_ = 0;

  // Bonus partners used up in this ranking, per crossing slot; cleared
  // when the next ranking starts.
  std::vector<uint32_t> usedUp_;
  std::vector<uint32_t> usedSlots_;

  std::vector<uint16_t> sortScores_;  // the scores the sort starts from, 1..n
  LazyRankSort sort_;
};

}  // namespace quorvex

#pragma once
// Turning the sorted working candidates into the list a caller reads.
//
// Both functions rebuild `list`: entry 0 carries the count in its score
// (its other fields 0), entries 1..count the points with x, y, score, side
// and mine set and direction, templateNo and bonus 0. The candidates must
// be in non-increasing score order. Neither allocates once `list` has held
// a list of this length before.

#include <cstdint>

#include "eval/scores.h"
#include "game/move_record.h"
#include "platform/util.h"

namespace quorvex {

// The size of a capped selection: 12 below level 2, 10 at level 2, 8 at
// levels 3 and 4, 6 from level 5 up.
int32_t ListCap(int32_t level);

// Every candidate in order, unmerged: a point may appear several times.
// `sorted(i)` gives candidate i of 1..n.
template <typename Sorted>
void ListAllCandidatesFrom(const Sorted& sorted, int32_t n, MoveList& list);

// The same over an array of records.
void ListAllCandidates(const MoveRecord* sorted, int32_t n, MoveList& list);

// The capped selection for `level`. A point of FourScore or more appears
// once per side and all of them are kept; a lower point appears once, with
// the score of its best candidate. The walk stops at the first candidate
// its class rules out: anything below FourScore when the best is a four,
// twos when the best is an open three or better, and the cap (ListCap,
// counting every entry already taken) for the lower classes.
//
// `sorted(i)` gives candidate i of 1..n; the walk reads them in rising
// order and no further than its stop.
template <typename Sorted>
void SelectCandidatesFrom(const Sorted& sorted, int32_t n, int32_t level, MoveList& list);

// The same over an array of records.
void SelectCandidates(const MoveRecord* sorted, int32_t n, int32_t level, MoveList& list);

namespace selection_detail {

void StartList(MoveList& list, int32_t n);
// Appends c's x, y, score, side and mine as a new entry.
void Append(MoveList& list, const MoveRecord& c);
// Raises every entry at c's point (and of c's side, when `sameSide`) to at
// least c's score; appends c when no entry matches.
void TakeMerging(MoveList& list, const MoveRecord& c, bool sameSide);

}  // namespace selection_detail

template <typename Sorted>
void ListAllCandidatesFrom(const Sorted& sorted, int32_t n, MoveList& list) {
  selection_detail::StartList(list, n);
  for (int32_t i = 1; i <= n; ++i) selection_detail::Append(list, sorted(i));
  list[0].score = n;
}

template <typename Sorted>
void SelectCandidatesFrom(const Sorted& sorted, int32_t n, int32_t level, MoveList& list) {
  using selection_detail::TakeMerging;
  selection_detail::StartList(list, n);
  const int32_t cap = ListCap(level);
  int32_t firstLowScore = 0;
  const int32_t top = n > 0 ? sorted(1).score : 0;
  auto taken = [&list] { return static_cast<int32_t>(list.size()) - 1; };

  for (int32_t i = 1; i <= n; ++i) {
    const MoveRecord c = sorted(i);
    const bool full = taken() >= cap;
    if (c.score >= FourScore) {
      TakeMerging(list, c, true);
    } else if (c.score >= OpenThreeScore) {
      if (top >= FourScore) break;
      TakeMerging(list, c, false);
    } else if (c.score >= ClosedThreeScore) {
      if (top >= FourScore) break;
      if (full && c.score < firstLowScore) break;
      if (firstLowScore == 0) firstLowScore = c.score;
      TakeMerging(list, c, false);
    } else if (c.score >= TwoScore) {
      if (top >= OpenThreeScore) break;
      if (full && c.score < firstLowScore) break;
      if (firstLowScore == 0) firstLowScore = c.score;
      TakeMerging(list, c, false);
    } else {
      if (full) break;
      TakeMerging(list, c, false);
    }
  }
  list[0].score = taken();
}

}  // namespace quorvex

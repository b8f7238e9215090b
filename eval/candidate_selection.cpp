#include "eval/candidate_selection.h"

#include "engine/scores.h"
#include "engine/util.h"

namespace quorvex {
namespace {

void StartList(MoveList& list, int32_t n) {
  list.clear();
  const auto needed = static_cast<std::size_t>(n) + 1;
  if (list.capacity() < needed) list.reserve(needed);
  list.push_back(MoveRecord{});
}

void Append(MoveList& list, const MoveRecord& c) {
  MoveRecord entry;
  entry.x = c.x;
  entry.y = c.y;
  entry.score = c.score;
  entry.side = c.side;
  entry.mine = c.mine;
  list.push_back(entry);
}

// Raises every entry at c's point (and of c's side, when `sameSide`) to at
// least c's score; appends c when no entry matches.
void TakeMerging(MoveList& list, const MoveRecord& c, bool sameSide) {
  bool matched = false;
  for (std::size_t e = 1; e < list.size(); ++e) {
    MoveRecord& entry = list[e];
    if (entry.x != c.x || entry.y != c.y) continue;
    if (sameSide && entry.side != c.side) continue;
    entry.score = MaxInt(entry.score, c.score);
    matched = true;
  }
  if (!matched) Append(list, c);
}

int32_t Taken(const MoveList& list) { return static_cast<int32_t>(list.size()) - 1; }

}  // namespace

int32_t ListCap(int32_t level) {
  if (level < 2) return 12;
  if (level == 2) return 10;
  if (level <= 4) return 8;
  return 6;
}

void ListAllCandidates(const MoveRecord* sorted, int32_t n, MoveList& list) {
  StartList(list, n);
  for (int32_t i = 1; i <= n; ++i) Append(list, sorted[i]);
  list[0].score = n;
}

void SelectCandidates(const MoveRecord* sorted, int32_t n, int32_t level, MoveList& list) {
  StartList(list, n);
  const int32_t cap = ListCap(level);
  int32_t firstLowScore = 0;
  const int32_t top = n > 0 ? sorted[1].score : 0;

  for (int32_t i = 1; i <= n; ++i) {
    const MoveRecord& c = sorted[i];
    const bool full = Taken(list) >= cap;
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
  list[0].score = Taken(list);
}

}  // namespace quorvex

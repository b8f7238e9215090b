#include "eval/candidate_selection.h"

namespace quorvex {
namespace selection_detail {

// The fields go straight into the list: a record built aside and copied in
// is read back wide before its narrow stores have landed, and stalls.
void Append(MoveList& list, const MoveRecord& c) {
  MoveRecord& entry = list.emplace_back();
  entry.x = c.x;
  entry.y = c.y;
  entry.score = c.score;
  entry.side = c.side;
  entry.mine = c.mine;
}

void StartList(MoveList& list, int32_t n) {
  list.clear();
  const auto needed = static_cast<std::size_t>(n) + 1;
  if (list.capacity() < needed) list.reserve(needed);
  list.push_back(MoveRecord{});
}

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

}  // namespace selection_detail

int32_t ListCap(int32_t level) {
  if (level < 2) return 12;
  if (level == 2) return 10;
  if (level <= 4) return 8;
  return 6;
}

void ListAllCandidates(const MoveRecord* sorted, int32_t n, MoveList& list) {
  ListAllCandidatesFrom([sorted](int32_t i) -> const MoveRecord& { return sorted[i]; }, n, list);
}

void SelectCandidates(const MoveRecord* sorted, int32_t n, int32_t level, MoveList& list) {
  SelectCandidatesFrom([sorted](int32_t i) -> const MoveRecord& { return sorted[i]; }, n, level, list);
}

}  // namespace quorvex

#include <cstdint>
#include <string>

#include "book/experience_store.h"
#include "book/statement.h"

namespace quorvex {

namespace {

// Compared in single precision: 3 wins over 5 losses is exactly this float
// and counts as found.
constexpr float FoundScore = 0.6f;

struct Candidate {
  int32_t x = 0;
  int32_t y = 0;
  float score = 0.0f;
};

// A zero count reads as one; a count above 20000 comes from the threat
// search and stands for a forced win (the wins themselves) or a forced loss
// (0).
float CandidateScore(int32_t wins, int32_t losses) {
  if (losses == 0) losses = 1;
  if (wins == 0) wins = 1;
  if (wins > 20000) return static_cast<float>(wins);
  if (losses > 20000) return 0.0f;
  return static_cast<float>(static_cast<double>(wins) / static_cast<double>(losses));
}

// Truncates toward zero; a score beyond the int32 range (a count near 2^31
// rounded up to a float) saturates instead of overflowing.
int32_t TruncateScore(float score) {
  if (score >= 2147483648.0f) return INT32_MAX;
  return static_cast<int32_t>(score);
}

}  // namespace

int32_t ExperienceStore::LookupOpening(int64_t key, MoveRecord& result) {
  // 1. Every move recorded from this position, in table order.
  Statement rows(db_, "Select * FROM Openings where PrevCRC = " + std::to_string(key) + " ");
  if (!rows.Ok()) return 0;
  const int xColumn = rows.ColumnIndex("X");
  const int yColumn = rows.ColumnIndex("Y");
  const int winsColumn = rows.ColumnIndex("WINS");
  const int lossesColumn = rows.ColumnIndex("LOSSES");

  // 2. The best of the empty candidate and every row's candidate; the
  //    first of equal scores stays, so a row must beat the empty candidate's
  //    0 to be reported.
  Candidate best;
  bool found = false;
  while (rows.Step()) {
    found = true;
    const Candidate candidate{rows.Int(xColumn), rows.Int(yColumn),
                              CandidateScore(rows.Int(winsColumn), rows.Int(lossesColumn))};
    if (candidate.score > best.score) best = candidate;
  }
  // 3. No row: nothing to say about this position.
  if (!found) return 0;

  // 4. Report the best, and whether it is good enough to play.
  result.x = best.x;
  result.y = best.y;
  result.score = TruncateScore(best.score);
  return best.score < FoundScore ? 0 : 1;
}

}  // namespace quorvex

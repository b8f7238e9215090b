#pragma once
// The element of every list of points: candidate lists, the threat search's
// lists, the book lookup's answer and the driver's record of the opponent's
// last stone.

#include <cstdint>
#include <vector>

namespace quorvex {

struct MoveRecord {
  int32_t x = 0;
  int32_t y = 0;
  int32_t score = 0;
  int32_t direction = 0;
  int32_t templateNo = 0;  // the matched template; `template` is a C++ keyword
  int32_t side = 0;
  int32_t bonus = 0;
  int32_t mine = 0;
};

// Lists are numbered from 1. A list that RankCandidates returns carries its
// count in the score of entry 0; entries 1..count are the points.
using MoveList = std::vector<MoveRecord>;

inline int32_t ListCount(const MoveList& list) { return list.empty() ? 0 : list[0].score; }

}  // namespace quorvex

#pragma once
// How long the threat search may run on one move.

#include <cstdint>

namespace quorvex {

// Milliseconds since the request arrived after which nodes below the root
// stop expanding.
//
// The turn limit is 80 % of `msTurnTime` (rounded to nearest, halves to
// even). A manager that also reports the match time left (INFO time_left)
// caps it further, so that a long game can never be lost on time: a move
// may spend at most a tenth of what is left after a reserve of one second.
// Each move thus leaves at least 90 % of the spendable time for the rest of
// the game, however many moves follow, and the reserve covers the work
// outside the search: up to 5 ms for each of the 200 moves a side can make
// on a 20x20 board (the decision's other steps take well under 1 ms). Without time_left, or with no
// turn limit at all (msTurnTime 0), only the turn limit counts.
int32_t SearchTimeLimit(int32_t msTurnTime, bool timeLeftKnown, int32_t msTimeLeft);

inline constexpr int32_t MatchTimeReserveMs = 1000;
inline constexpr int32_t MatchTimeShare = 10;

}  // namespace quorvex

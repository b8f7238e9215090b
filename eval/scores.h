#pragma once
// Score classes of the pattern templates. They double as the class
// boundaries of the ranking, the move decision and the threat search, which
// compare candidate scores with them for equality as well as order, so they
// must stay equal to the template scores.

#include <cstdint>

namespace quorvex {

inline constexpr int32_t TwoScore = 50;
inline constexpr int32_t ClosedThreeScore = 60;
inline constexpr int32_t OpenThreeScore = 70;
inline constexpr int32_t FourScore = 180;

}  // namespace quorvex

#include "search/time_budget.h"

#include <algorithm>
#include <cmath>

namespace quorvex {

int32_t SearchTimeLimit(int32_t msTurnTime, bool timeLeftKnown, int32_t msTimeLeft) {
  const double turnLimit = std::nearbyint(msTurnTime - msTurnTime * 0.2);
  auto limit = static_cast<int32_t>(turnLimit);
  if (!timeLeftKnown || msTurnTime == 0) return limit;
  // Below the reserve the limit goes negative, so that no node below the
  // root expands at all, not even within the request's first millisecond.
  const int64_t spendable = int64_t{msTimeLeft} - MatchTimeReserveMs;
  return static_cast<int32_t>(std::min<int64_t>(limit, spendable / MatchTimeShare));
}

}  // namespace quorvex

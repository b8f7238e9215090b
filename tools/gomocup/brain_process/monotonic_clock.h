#pragma once
// The manager's one clock: milliseconds on a monotonic clock, for deadlines
// and for the time each move took.

#include <cstdint>

namespace quorvex::match {

int64_t NowMs();

}  // namespace quorvex::match

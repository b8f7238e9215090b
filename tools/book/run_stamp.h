#pragma once
// The stamp (Touch) of the rows a command records and learns, and what it
// means for a brain that loads the file.
//
// A brain stamps its rows with the highest Touch of its file plus 1, and at
// every game it learns from deletes the rows past stone 9 stamped below
// LastingTouch, its own game's included. A run stamped LastingTouch or more
// therefore keeps whole games, and so does a brain loading its file.

#include <cstdint>
#include <optional>
#include <string>

#include "brain/engine.h"

namespace quorvex::book {

inline constexpr int32_t LastingTouch = 71000;

// The stamp of a run asked for `touch` from a store whose load set
// `loaded` (the base's highest Touch plus 1): `touch`, unless `loaded` is
// higher, so that the run's rows stay newer than the base's, as a brain's
// would; `loaded` without `touch`.
int32_t RunStamp(std::optional<int32_t> touch, int32_t loaded);

// Sets the engine's run stamp to RunStamp(touch, its own) and returns the
// line that tells it, such as "run stamp 71000: rows past stone 9 last".
std::string ApplyRunStamp(Engine& engine, std::optional<int32_t> touch);

// The kind of file whose brain stamps its rows `brainTouch`: whether rows
// past stone 9 are kept by a brain loading it.
std::string DescribeKind(int32_t brainTouch);

}  // namespace quorvex::book

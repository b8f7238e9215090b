#pragma once
// Position keys: a game's stone sequence (normalised so that its first stone
// lies on (11, 11)) hashed to a signed 64-bit key.

#include <cstdint>

#include "game/move_buffer.h"

namespace quorvex {

// The first 8 bytes, big-endian, of the MD5 digest of the first 800 bytes
// of `buffer` (entries 0..399, unwritten ones (0, 0)), reinterpreted as a
// signed 64-bit integer. Stones beyond entry 399 do not change the key.
int64_t ComputePositionKey(const MoveBuffer& buffer);

}  // namespace quorvex

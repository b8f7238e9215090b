#pragma once
// The game's stones in normalised coordinates and the key after each stone.
//
// Entry n (n >= 1) of MoveBuffer is the n-th stone of the game, either side,
// shifted by the game's offsets so that stone 1 lies on (11, 11); entry 0 is
// never written. The position key hashes the first 800 bytes, so the layout
// (x then y, one signed byte each, no padding) is part of every stored key.

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvex {

inline constexpr int32_t MoveBufferEntries = 411;
inline constexpr std::size_t KeyedBytes = 800;  // entries 0..399

struct MoveEntry {
  int8_t x = 0;
  int8_t y = 0;
  bool operator==(const MoveEntry&) const = default;
};

using MoveBuffer = std::array<MoveEntry, MoveBufferEntries>;
using KeyHistory = std::array<int64_t, MoveBufferEntries>;

static_assert(sizeof(MoveEntry) == 2);
static_assert(sizeof(MoveBuffer) == 2 * MoveBufferEntries);

// Stores the normalised point, truncated to 8 bits as the buffer demands.
inline MoveEntry MakeMoveEntry(int32_t x, int32_t y) {
  return MoveEntry{static_cast<int8_t>(x), static_cast<int8_t>(y)};
}

}  // namespace quorvex

#include "game/position_key.h"

#include "platform/md5.h"

namespace quorvex {

int64_t ComputePositionKey(const MoveBuffer& buffer) {
  // MoveEntry is two signed bytes with no padding, so the buffer's first
  // KeyedBytes bytes are entries 0..399 exactly as laid out in memory.
  const Md5Bytes digest = Md5Digest(buffer.data(), KeyedBytes);
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = (bits << 8) | digest[static_cast<std::size_t>(i)];
  return static_cast<int64_t>(bits);
}

}  // namespace quorvex

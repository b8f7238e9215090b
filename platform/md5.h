#pragma once
// MD5 (RFC 1321) behind one function, so that each platform can supply the
// digest from its own crypto library without touching the callers.
//
// Reads `size` bytes at `data`; the caller ensures they are readable.
// Never fails: an implementation that cannot compute the digest returns all
// zero bytes (keys then collide, but the engine still plays).

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvex {

using Md5Bytes = std::array<uint8_t, 16>;

Md5Bytes Md5Digest(const void* data, std::size_t size);

}  // namespace quorvex

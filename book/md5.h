#pragma once
// The MD5 digest (RFC 1321) behind the position keys. Linux takes it from
// libcrypto (md5_libcrypto.cpp), Windows from the system's CNG
// (md5_windows.cpp); both give the same 16 bytes for the same input.

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvex {

// The digest of the `size` bytes at `data` (`data` may be null when `size`
// is 0).
std::array<uint8_t, 16> Md5Digest(const void* data, std::size_t size);

}  // namespace quorvex

#ifdef _WIN32

#include "platform/md5.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// windows.h first: bcrypt.h uses its types.
#include <bcrypt.h>

#include "platform/util.h"

namespace quorvex {

namespace {

// The algorithm provider, opened on first use and kept for the process:
// opening it is the costly step, and a key is hashed for every stone.
// Null when the system refuses MD5.
BCRYPT_ALG_HANDLE Md5Provider() {
  static const BCRYPT_ALG_HANDLE provider = [] {
    BCRYPT_ALG_HANDLE handle = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle, BCRYPT_MD5_ALGORITHM, nullptr, 0))) {
      return BCRYPT_ALG_HANDLE{};
    }
    return handle;
  }();
  return provider;
}

}  // namespace

std::array<uint8_t, 16> Md5Digest(const void* data, std::size_t size) {
  // All zero if CNG fails, which a system that ships it does not do; the
  // engine has no error path here and plays on.
  std::array<uint8_t, 16> digest{};
  const BCRYPT_ALG_HANDLE provider = Md5Provider();
  if (provider == nullptr) {
    Trace("MD5 provider unavailable");
    return digest;
  }
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!BCRYPT_SUCCESS(BCryptCreateHash(provider, &hash, nullptr, 0, nullptr, 0, 0))) {
    Trace("MD5 hash object unavailable");
    return digest;
  }
  // CNG takes at most a ULONG of bytes per call.
  auto* bytes = static_cast<UCHAR*>(const_cast<void*>(data));
  bool ok = true;
  while (ok && size > 0) {
    const ULONG chunk = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
    ok = BCRYPT_SUCCESS(BCryptHashData(hash, bytes, chunk, 0));
    bytes += chunk;
    size -= chunk;
  }
  std::array<uint8_t, 16> result{};
  if (ok &&
      BCRYPT_SUCCESS(BCryptFinishHash(hash, result.data(), static_cast<ULONG>(result.size()), 0))) {
    digest = result;
  } else {
    Trace("MD5 hashing failed");
  }
  BCryptDestroyHash(hash);
  return digest;
}

}  // namespace quorvex

#endif  // _WIN32

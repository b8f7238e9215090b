#include <openssl/evp.h>

#include "book/md5.h"

namespace quorvex {

std::array<uint8_t, 16> Md5Digest(const void* data, std::size_t size) {
  std::array<uint8_t, 16> digest{};
  unsigned int length = 0;
  EVP_Digest(data, size, digest.data(), &length, EVP_md5(), nullptr);
  return digest;
}

}  // namespace quorvex

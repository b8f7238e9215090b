#include <openssl/evp.h>

#include "platform/md5.h"

namespace quorvex {

// The EVP interface rather than MD5(), which OpenSSL 3 deprecates.
Md5Bytes Md5Digest(const void* data, std::size_t size) {
  Md5Bytes digest{};
  unsigned int length = 0;
  if (EVP_Digest(data, size, digest.data(), &length, EVP_md5(), nullptr) != 1 ||
      length != digest.size()) {
    digest.fill(0);
  }
  return digest;
}

}  // namespace quorvex

#include "book/md5.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvex {
namespace {

std::string Hex(const Md5Bytes& digest) {
  static constexpr char Digits[] = "0123456789abcdef";
  std::string hex;
  for (uint8_t byte : digest) {
    hex += Digits[byte >> 4];
    hex += Digits[byte & 15];
  }
  return hex;
}

// The test suite of RFC 1321, appendix A.5.
TEST(Md5Digest, MatchesTheRfc1321TestSuite) {
  struct Case {
    std::string message;
    const char* digest;
  };
  std::string eightTimes;
  for (int i = 0; i < 8; ++i) eightTimes += "1234567890";
  const Case cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {eightTimes, "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(Md5Digest(c.message.data(), c.message.size())), c.digest)
        << '"' << c.message << '"';
  }
}

TEST(Md5Digest, ReadsOnlyTheBytesItIsGiven) {
  const std::string text = "abcdef";
  EXPECT_EQ(Hex(Md5Digest(text.data(), 3)), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace quorvex

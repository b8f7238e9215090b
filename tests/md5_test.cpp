// The digest behind the position keys comes from libcrypto on Linux and from
// CNG on Windows; these cases run on both, so the two agree byte for byte.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/md5.h"

namespace quorvex {
namespace {

std::string Hex(const std::array<uint8_t, 16>& digest) {
  std::string hex;
  char byte[3];
  for (uint8_t b : digest) {
    std::snprintf(byte, sizeof byte, "%02x", b);
    hex += byte;
  }
  return hex;
}

std::string HexOf(const std::string& text) { return Hex(Md5Digest(text.data(), text.size())); }

TEST(Md5Digest, MatchesTheRfc1321TestSuite) {
  struct Case {
    const char* input;
    const char* digest;
  };
  const Case cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const Case& c : cases) EXPECT_EQ(HexOf(c.input), c.digest) << '"' << c.input << '"';
  EXPECT_EQ(Hex(Md5Digest(nullptr, 0)), "d41d8cd98f00b204e9800998ecf8427e");
}

// The 800 bytes that make a position key: stones as (x, y) byte pairs from
// entry 1 on, the rest zero.
std::vector<uint8_t> KeyedBytes(std::initializer_list<uint8_t> stones) {
  std::vector<uint8_t> bytes(800, 0);
  std::size_t at = 2;
  for (uint8_t b : stones) bytes[at++] = b;
  return bytes;
}

TEST(Md5Digest, DigestsTheKeyedBytesOfKnownPositions) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* digest;
  };
  const Case cases[] = {
      // Their first 8 bytes are the keys 7729052115359535890,
      // -3470484881051396544 and 4573319953060784592.
      {"empty", KeyedBytes({}), "6b431bf2da7c9312b3e5c21e67f6591b"},
      {"(11,11)", KeyedBytes({11, 11}), "cfd65c635a915640c702fe92895a8777"},
      {"(11,11) (12,12)", KeyedBytes({11, 11, 12, 12}), "3f77b2444e64e9d081daced6ec46a9a2"},
      {"(12,12) (11,11)", KeyedBytes({12, 12, 11, 11}), "1ff4c3030797d76a4bd3b89ab4e8100d"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(Md5Digest(c.bytes.data(), c.bytes.size())), c.digest) << c.name;
  }
}

TEST(Md5Digest, HandlesLargeAndUnalignedInputAndRepeatedCalls) {
  const std::string million(1000000, 'a');
  EXPECT_EQ(HexOf(million), "7707d6ae4e027c70eea2a935c2296f21");

  // The same bytes one address off, and calls in alternation: no state may
  // carry from one digest into the next.
  const std::string shifted = "xmessage digest";
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(Hex(Md5Digest(shifted.data() + 1, shifted.size() - 1)),
              "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(HexOf("abc"), "900150983cd24fb0d6963f7d28e17f72");
  }
  // Only the bytes it is given.
  const std::string text = "abcdef";
  EXPECT_EQ(Hex(Md5Digest(text.data(), 3)), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace quorvex

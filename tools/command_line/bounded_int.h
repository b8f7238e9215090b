#pragma once
// Reading a whole command-line value as an integer within bounds.

#include <charconv>
#include <cstdint>
#include <string_view>

namespace quorvex::match {

// True when all of `text` is a decimal integer in low..high, stored in `value`.
inline bool ReadBoundedInt(std::string_view text, int64_t low, int64_t high, int64_t& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && value >= low && value <= high;
}

}  // namespace quorvex::match

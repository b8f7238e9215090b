#pragma once
// A whole number within bounds, as both tools read one from their command
// lines (command_line.h checks an option's value with it).

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex::command_line {

// True when all of `text` is a decimal integer in low..high, stored in `value`.
inline bool ReadWholeNumber(std::string_view text, int64_t low, int64_t high, int64_t& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && value >= low && value <= high;
}

}  // namespace quorvex::command_line

#pragma once
// A whole number within bounds, as both tools read one from their command
// lines, and the words they refuse any other value with.

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

namespace quorvex::command_line {

// True when all of `text` is a decimal integer in low..high, stored in `value`.
inline bool ReadWholeNumber(std::string_view text, int64_t low, int64_t high, int64_t& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && value >= low && value <= high;
}

// The check of an option's value: a refusal such as "--games takes a whole
// number from 1 to 100000, not "0"" otherwise (CommandLine puts the name).
// An option of an integer type holds any number in low..high, so the value
// that passes always converts.
inline CLI::Validator WholeNumber(int64_t low, int64_t high) {
  return CLI::Validator(
      [low, high](std::string& text) -> std::string {
        int64_t value = 0;
        if (ReadWholeNumber(text, low, high, value)) return {};
        return "takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
               ", not \"" + text + "\"";
      },
      "");
}

}  // namespace quorvex::command_line

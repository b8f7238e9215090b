#include "brain/protocol_text.h"

#include <limits>

namespace quorvex {

std::string_view SplitField(std::string_view text, char separator, int32_t k) {
  std::size_t start = 0;
  for (int32_t field = 1; field < k; ++field) {
    const std::size_t next = text.find(separator, start);
    if (next == std::string_view::npos) return {};
    start = next + 1;
  }
  const std::size_t end = text.find(separator, start);
  return text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Where a number's digits start in `field`, past blanks, sign and base.
struct NumberStart {
  std::size_t index = 0;
  int base = 10;
  bool negative = false;
};

NumberStart FindNumberStart(std::string_view field) {
  NumberStart start;
  std::size_t& i = start.index;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
    start.negative = field[i] == '-';
    ++i;
  }
  if (i < field.size() && field[i] == '$') {
    start.base = 16;
    ++i;
  } else if (i < field.size() && field[i] == '%') {
    start.base = 2;
    ++i;
  }
  return start;
}

}  // namespace

bool HasNumber(std::string_view field) {
  const NumberStart start = FindNumberStart(field);
  return start.index < field.size() && DigitValue(field[start.index]) < start.base;
}

int32_t ReadNumber(std::string_view field) {
  const auto [start, base, negative] = FindNumberStart(field);
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t value = 0;
  for (std::size_t i = start; i < field.size(); ++i) {
    const int digit = DigitValue(field[i]);
    if (digit >= base) break;
    value = value * base + digit;
    if (value > kLimit) value = kLimit;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

bool LineReader::ReadLine(std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    const int c = in_.get();
    if (c == std::char_traits<char>::eof()) return any;
    if (skipLineFeed_) {
      skipLineFeed_ = false;
      if (c == '\n') continue;
    }
    if (c == '\n') return true;
    if (c == '\r') {
      skipLineFeed_ = true;
      return true;
    }
    any = true;
    if (line.size() < MaxLineLength) line.push_back(static_cast<char>(c));
  }
}

}  // namespace quorvex

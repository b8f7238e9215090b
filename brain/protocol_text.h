#pragma once
// How the command loop takes protocol lines apart.

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

namespace quorvex {

// Field k (from 1) of `text` split at `separator`: the text between the
// (k-1)-th and the k-th separator. Adjacent separators give an empty field,
// and so does a field beyond the last one.
std::string_view SplitField(std::string_view text, char separator, int32_t k);

// Skips leading blanks and tabs, takes an optional sign, then digits up to
// the first other character: decimal, or hexadecimal after "$", or binary
// after "%". No digits read as 0. Values beyond 32 bits saturate, so hostile
// input cannot overflow.
int32_t ReadNumber(std::string_view field);

// True when ReadNumber finds at least one digit in `field`. A field that is
// empty, only blanks, a sign or "$" or "%" alone, or text that starts with
// anything else has none, and its 0 stands for no number.
bool HasNumber(std::string_view field);

// Reads lines ending in LF, CR or CR LF from a stream without ever waiting
// for the byte after a CR: a manager that ends its lines with a bare CR
// must get its reply without sending another line first.
class LineReader {
 public:
  explicit LineReader(std::istream& in) : in_(in) {}

  // The next line without its terminator; false at end of input. A final
  // line without a terminator is still returned. Lines longer than
  // MaxLineLength are cut there; the rest of such a line is discarded.
  bool ReadLine(std::string& line);

  static constexpr std::size_t MaxLineLength = 4096;

 private:
  std::istream& in_;
  bool skipLineFeed_ = false;
};

}  // namespace quorvex

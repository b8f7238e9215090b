#include "tools/gomocup/referee/printable_text.h"

#include <cstdint>

namespace quorvex::match {

namespace {

// The length of the valid UTF-8 sequence at the start of `s` and its code
// point; 0 when the first byte starts no valid sequence (a stray
// continuation byte, an overlong form, a surrogate, a point past U+10FFFF,
// a sequence cut short).
size_t DecodeUtf8(std::string_view s, char32_t& point) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
  const uint8_t lead = byte(0);
  size_t length = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    point = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    min = 0x10000;
  } else {
    return 0;
  }
  point = lead & (0x7F >> length);  // the payload bits of the lead byte
  if (s.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    point = (point << 6) | (byte(i) & 0x3F);
  }
  if (point < min || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
  return length;
}

bool Shown(char32_t point) {
  if (point == '\t') return true;
  if (point < 0x20 || point == 0x7F) return false;
  if (point >= 0x80 && point <= 0x9F) return false;
  return point != 0xFFFE && point != 0xFFFF;
}

void AppendEscaped(std::string& out, uint8_t byte) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0xF];
}

}  // namespace

std::string PrintableText(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  while (!raw.empty()) {
    char32_t point = 0;
    const size_t length = DecodeUtf8(raw, point);
    if (length > 0 && Shown(point)) {
      out.append(raw.substr(0, length));
    } else {
      for (size_t i = 0; i < (length > 0 ? length : 1); ++i) {
        AppendEscaped(out, static_cast<uint8_t>(raw[i]));
      }
    }
    raw.remove_prefix(length > 0 ? length : 1);
  }
  return out;
}

}  // namespace quorvex::match

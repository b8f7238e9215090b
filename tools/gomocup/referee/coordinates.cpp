#include "tools/gomocup/referee/coordinates.h"

#include <algorithm>
#include <cctype>

namespace quorvex::match {

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Digits only, at most 4 of them: no coordinate needs more and no overflow
// is possible.
std::optional<int32_t> ReadCount(std::string_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int32_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::optional<Point> ParseProtocolPoint(std::string_view text) {
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto x = ReadCount(Trim(text.substr(0, comma)));
  const auto y = ReadCount(Trim(text.substr(comma + 1)));
  if (!x || !y) return std::nullopt;
  return Point{*x, *y};
}

std::optional<Point> ParseNotation(std::string_view text) {
  text = Trim(text);
  if (text.size() < 2) return std::nullopt;
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text.front())));
  if (letter < 'a' || letter > 'z') return std::nullopt;
  const auto row = ReadCount(text.substr(1));
  if (!row || *row < 1) return std::nullopt;
  return Point{letter - 'a', *row - 1};
}

std::optional<Point> ParseAnyPoint(std::string_view text) {
  if (text.find(',') != std::string_view::npos) return ParseProtocolPoint(text);
  return ParseNotation(text);
}

std::string FormatProtocolPoint(Point p) {
  std::string text = std::to_string(p.x);
  text += ',';
  text += std::to_string(p.y);
  return text;
}

std::string FormatNotation(Point p) {
  std::string text(1, static_cast<char>('a' + p.x));
  text += std::to_string(p.y + 1);
  return text;
}

std::string DescribePoint(Point p, int32_t boardSize) {
  if (p.x < 0 || p.y < 0 || p.x >= std::min(boardSize, 26) || p.y >= boardSize) {
    return FormatProtocolPoint(p);
  }
  return FormatNotation(p) + " (" + FormatProtocolPoint(p) + ")";
}

std::optional<std::vector<Point>> ParseOpeningLine(std::string_view line) {
  std::vector<Point> points;
  size_t at = 0;
  while (at < line.size()) {
    const size_t end = line.find_first_of(" \t;", at);
    const std::string_view token = line.substr(at, end == std::string_view::npos ? end : end - at);
    if (!token.empty()) {
      const auto p = ParseAnyPoint(token);
      if (!p) return std::nullopt;
      points.push_back(*p);
    }
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return points;
}

}  // namespace quorvex::match

#include "tools/match/serve/request_frame.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace quorvex::match::serve {

namespace {

bool NameIs(std::string_view name, std::string_view lowerCase) {
  return std::equal(name.begin(), name.end(), lowerCase.begin(), lowerCase.end(),
                    [](char c, char l) { return (c >= 'A' && c <= 'Z' ? c + 32 : c) == l; });
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

RequestFrame Refuse(int status) { return {RequestFrame::Kind::Refused, 0, status}; }

// "METHOD /target HTTP/1.x" and its CR: a method of capital letters, one
// blank on each side of a target of visible characters starting "/". The
// parser behind this is lenient (blanks before the method, tabs, other
// versions); whatever it would read otherwise than this is refused here.
bool IsRequestLine(std::string_view line) {
  if (!line.ends_with('\r')) return false;
  line.remove_suffix(1);
  const size_t method = line.find(' ');
  if (method == 0 || method == std::string_view::npos) return false;
  if (!std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(method),
                   [](char c) { return c >= 'A' && c <= 'Z'; })) {
    return false;
  }
  const std::string_view rest = line.substr(method + 1);
  const size_t target = rest.find(' ');
  if (target == std::string_view::npos || !rest.starts_with('/')) return false;
  if (!std::all_of(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(target),
                   [](char c) { return c > ' ' && c != '\x7f'; })) {
    return false;
  }
  const std::string_view version = rest.substr(target + 1);
  return version == "HTTP/1.1" || version == "HTTP/1.0";
}

}  // namespace

RequestFrame FrameRequest(std::string_view bytes, const FrameLimits& limits, size_t headSearched) {
  // The first LF CR LF: its LF ends the request line or a header line.
  const size_t blank = bytes.find("\n\r\n", headSearched < 2 ? 0 : headSearched - 2);
  if (blank == std::string_view::npos) {
    return bytes.size() > limits.maxHeadBytes ? Refuse(431) : RequestFrame{};
  }
  const size_t headLength = blank + 3;
  if (headLength > limits.maxHeadBytes) return Refuse(431);
  const size_t lineEnd = bytes.find('\n');
  if (!IsRequestLine(bytes.substr(0, lineEnd))) return Refuse(400);

  const std::string_view method = bytes.substr(0, bytes.find(' '));
  const bool mayAskRange = method == "GET" || method == "HEAD";
  std::optional<size_t> contentLength;
  for (size_t at = lineEnd + 1; at < blank + 1;) {
    const size_t end = bytes.find('\n', at);
    const std::string_view line = bytes.substr(at, end - at);
    at = end + 1;
    if (!line.ends_with('\r')) continue;  // not a header line to httplib either
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = line.substr(0, colon);
    const std::string_view value = Trimmed(line.substr(colon + 1, line.size() - colon - 2));
    if (NameIs(name, "transfer-encoding")) return Refuse(411);
    // The parser would cut the answer to a POST into the range asked.
    if (NameIs(name, "range") && !mayAskRange) return Refuse(400);
    if (!NameIs(name, "content-length")) continue;
    const bool digits = !value.empty() && std::all_of(value.begin(), value.end(),
                                                      [](char c) { return c >= '0' && c <= '9'; });
    if (contentLength || !digits) return Refuse(400);
    size_t length = 0;
    const auto parsed = std::from_chars(value.data(), value.data() + value.size(), length);
    if (parsed.ec != std::errc() || length > limits.maxBodyBytes) return Refuse(413);
    contentLength = length;
  }
  const size_t total = headLength + contentLength.value_or(0);
  if (bytes.size() < total) return {RequestFrame::Kind::Incomplete, total, 0};
  return {RequestFrame::Kind::Complete, total, 0};
}

}  // namespace quorvex::match::serve

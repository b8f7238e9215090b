#pragma once
// Where one HTTP request ends in the bytes a client has sent so far, found
// before any of it is parsed for good, so that the server reads and keeps
// at most one bounded request per connection.
//
// The head ends at the first empty line (CR LF) after the request line; the
// body is Content-Length bytes after it, none without the header. Lines are
// cut as cpp-httplib cuts them (at LF; a header line not ending in CR LF is
// not a header), so both agree on every length this accepts. Refused:
//   431 a head longer than `maxHeadBytes`
//   411 any Transfer-Encoding (a chunked body has no length to check
//       before reading it; the page never sends one)
//   413 a Content-Length above `maxBodyBytes`
//   400 a request line other than "METHOD /target HTTP/1.x" (a method of
//       capital letters, single blanks), a Range on a request other than
//       GET or HEAD, or a Content-Length that is not digits alone, or
//       given twice
// A refusal is known as soon as the head is, before any byte of the body.

#include <cstddef>
#include <string_view>

namespace quorvex::match::serve {

struct FrameLimits {
  size_t maxHeadBytes = 64 << 10;
  size_t maxBodyBytes = 1 << 20;
};

struct RequestFrame {
  enum class Kind { Incomplete, Complete, Refused };
  Kind kind = Kind::Incomplete;
  // Complete: the bytes of head and body. Incomplete: the same once the
  // head has come (wait for that many), 0 before.
  size_t length = 0;
  int status = 0;  // Refused: the HTTP status to answer
};

// `headSearched`: how many of `bytes` were already framed, with no end of
// head found, so a head sent a byte at a time is searched once, not once
// for every byte.
RequestFrame FrameRequest(std::string_view bytes, const FrameLimits& limits,
                          size_t headSearched = 0);

}  // namespace quorvex::match::serve

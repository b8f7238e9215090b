// The page's server (quorvex-match --serve) on the bytes of one connection:
// methods, paths, headers, forms and bodies, answered by the same server
// class, routes and refusals as the real one (PageServer::AnswerBytes),
// with no brain to start. What must hold:
//   - the answers are well-formed HTTP/1.1, one for each request the frame
//     cuts (interim 100s aside): a status line, header lines, and a body of
//     exactly its Content-Length, or a chunked stream (an event stream may
//     be cut after its first chunks, as a closing tab cuts it); none for a
//     HEAD request;
//   - nothing but the page is served: an answer of 2xx is JSON or an event
//     stream (the /api/ requests), one of the page's own files (a part of
//     one, or parts between boundaries, for a Range request), once
//     decompressed, or a record the request's own text was written again
//     as (/api/record/psq, /api/record/sgf), which the tool reads back.

#include <brotli/decode.h>
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "tools/gomocup/records/game_record_reader.h"
#include "tools/match/serve/page_server.h"
#include "tools/match/serve/request_frame.h"
#include "tools/match/serve/serve_api.h"
#include "tools/match/serve/web_assets.h"

namespace quorvex::fuzz {
namespace {

using namespace quorvex::match::serve;

PageServer& Server() {
  static ServeApi* api = [] {
    ServeConfig config;  // no brain: a game never starts
    config.tabGraceMs = 0;
    return new ServeApi(config, nullptr);
  }();
  static PageServer* server = [] {
    PageServerLimits limits;
    limits.threads = 1;
    limits.pingMs = 0;  // an event stream's second write comes at once
    auto* made = new PageServer(*api, "127.0.0.1", limits);
    // Bound but never listening: a server that is not bound counts as
    // stopping, and would end every event stream before it starts.
    Require(made->Bind("127.0.0.1", 0) > 0, "cannot bind a port");
    return made;
  }();
  return *server;
}

struct Head {
  int status = 0;
  std::string contentType;
  std::string contentEncoding;
  std::string transferEncoding;
  std::string disposition;
  long contentLength = -1;
};

std::string_view TakeLine(std::string_view& text) {
  const size_t end = text.find("\r\n");
  Require(end != std::string_view::npos, "a line of the answer does not end in CR LF");
  const std::string_view line = text.substr(0, end);
  Require(line.find_first_of("\r\n") == std::string_view::npos, "a bare CR or LF in a line");
  text.remove_prefix(end + 2);
  return line;
}

Head TakeHead(std::string_view& text) {
  Head head;
  const std::string_view status = TakeLine(text);
  Require(status.size() >= 13 && status.starts_with("HTTP/1.1 ") && status[12] == ' ',
          "a malformed status line");
  head.status = std::stoi(std::string(status.substr(9, 3)));
  Require(head.status >= 100 && head.status <= 599, "a status out of range");
  for (std::string_view line; !(line = TakeLine(text)).empty();) {
    const size_t colon = line.find(": ");
    Require(colon != std::string_view::npos && colon > 0, "a header line without a name");
    const std::string_view name = line.substr(0, colon);
    const std::string value(line.substr(colon + 2));
    if (name == "Content-Type") head.contentType = value;
    if (name == "Transfer-Encoding") head.transferEncoding = value;
    if (name == "Content-Encoding") head.contentEncoding = value;
    if (name == "Content-Disposition") head.disposition = value;
    if (name == "Content-Length") {
      Require(head.contentLength < 0 && !value.empty() &&
                  value.find_first_not_of("0123456789") == std::string::npos,
              "a bad or second Content-Length");
      head.contentLength = std::stol(value);
    }
  }
  return head;
}

// The body of a chunked answer; `cut` when the stream ended between chunks.
std::string TakeChunks(std::string_view& text, bool& cut) {
  std::string body;
  cut = false;
  for (;;) {
    if (text.empty()) {
      cut = true;
      return body;
    }
    const std::string_view size = TakeLine(text);
    Require(!size.empty() && size.size() <= 8 &&
                size.find_first_not_of("0123456789abcdef") == std::string_view::npos,
            "a malformed chunk size");
    const size_t length = std::stoul(std::string(size), nullptr, 16);
    if (length == 0) {
      Require(TakeLine(text).empty(), "no empty line after the last chunk");
      return body;
    }
    Require(text.size() >= length + 2 && text.substr(length, 2) == "\r\n", "a short chunk");
    body.append(text.substr(0, length));
    text.remove_prefix(length + 2);
  }
}

// A compressed body as it was before (the server compresses text for a
// client that accepts it); empty if it does not decode to at most the
// largest of the page's files, or to `largest` when that is given.
std::string Decoded(const std::string& body, const std::string& encoding, size_t largest = 0) {
  if (encoding.empty()) return body;
  if (largest == 0) {
    for (const WebAsset& asset : WebAssets()) largest = std::max(largest, asset.body.size());
  }
  std::string out(largest + 1, '\0');
  size_t size = out.size();
  if (encoding == "br") {
    const auto* in = reinterpret_cast<const uint8_t*>(body.data());
    if (BrotliDecoderDecompress(body.size(), in, &size, reinterpret_cast<uint8_t*>(out.data())) !=
        BROTLI_DECODER_RESULT_SUCCESS) {
      return "";
    }
  } else {
    Require(encoding == "gzip", "an answer compressed in an unknown way");
    z_stream z{};
    Require(inflateInit2(&z, 16 + MAX_WBITS) == Z_OK, "zlib cannot start");
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
    z.avail_in = static_cast<uInt>(body.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&z, Z_FINISH);
    size = out.size() - z.avail_out;
    inflateEnd(&z);
    if (result != Z_STREAM_END) return "";
  }
  out.resize(size);
  return out;
}

bool IsPartOfThePage(const std::string& body, bool whole) {
  for (const WebAsset& asset : WebAssets()) {
    if (whole ? asset.body == body : asset.body.find(body) != std::string_view::npos) return true;
  }
  return false;
}

void CheckAnswers(std::string_view request, std::string_view answers) {
  // The requests the server answered, as the frame cuts them.
  std::vector<std::string_view> methods;
  for (;;) {
    const RequestFrame frame = FrameRequest(request, FrameLimits{});
    if (frame.kind == RequestFrame::Kind::Incomplete) break;
    methods.push_back(request.substr(0, request.find(' ')));
    if (frame.kind == RequestFrame::Kind::Refused) break;
    request.remove_prefix(frame.length);
  }

  for (size_t answered = 0; !answers.empty(); ++answered) {
    Head head = TakeHead(answers);
    while (head.status == 100) head = TakeHead(answers);
    Require(answered < methods.size(), "more answers than requests");
    const bool chunked = head.transferEncoding == "chunked";
    const bool events = head.contentType == "text/event-stream";
    Require(chunked || head.contentLength >= 0, "an answer with neither length nor chunks");
    Require(!chunked || head.contentLength < 0, "an answer with both length and chunks");
    std::string body;
    // No body after a HEAD, whatever the head says; but a request line
    // the server could not read (a NUL in it, say) is no HEAD to it.
    const bool noBody = methods[answered].starts_with("HEAD") &&
                        (answers.empty() || answers.starts_with("HTTP/1.1 "));
    if (noBody) {
    } else if (chunked) {
      bool cut = false;
      body = TakeChunks(answers, cut);
      Require(!cut || (events && answers.empty()), "a chunked answer cut short");
    } else {
      Require(answers.size() >= static_cast<size_t>(head.contentLength),
              "a body shorter than its Content-Length");
      body = answers.substr(0, static_cast<size_t>(head.contentLength));
      answers.remove_prefix(static_cast<size_t>(head.contentLength));
    }
    if (head.status < 200 || head.status > 299) continue;
    if (head.contentType == "application/json" || events) continue;
    // Made of parts of the one file asked for, between boundaries.
    if (head.status == 206 && head.contentType.starts_with("multipart/byteranges")) continue;
    // A record sent, written again: a whole one the tool reads. Its names
    // may have grown fourfold as printable text ("\xNN" for a byte).
    if (head.status == 200 && head.disposition.starts_with("attachment; filename=\"replay.")) {
      std::string error;
      const size_t bound = 8 * FrameLimits{}.maxBodyBytes;
      Require(noBody || match::ParseGameRecord(Decoded(body, head.contentEncoding, bound), error),
              "a saved record the tool cannot read back");
      continue;
    }
    Require(noBody || IsPartOfThePage(Decoded(body, head.contentEncoding), head.status == 200),
            "a 2xx answer that is neither the page's own file nor an /api/ answer");
  }
}

}  // namespace
}  // namespace quorvex::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string answers = quorvex::fuzz::Server().AnswerBytes(bytes);
  if (std::getenv("QUORVEX_FUZZ_SHOW") != nullptr)
    std::fwrite(answers.data(), 1, answers.size(), stderr);
  quorvex::fuzz::CheckAnswers(bytes, answers);
  return 0;
}

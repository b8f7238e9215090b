#pragma once
// The page's HTTP server: cpp-httplib parses each request and answers it
// through the page's routes, but never reads from a client itself; a
// RequestGate holds every connection until its whole request has come,
// and only then gives it to one of the server's threads.
//
// Routes:
//   GET  /, /app.js, /style.css, /favicon.ico
//                                 the page, compiled into the program
//   GET  /api/events              a tab's event stream (event_hub.h)
//   POST /api/play, /api/watch, /api/move, /api/takeback, /api/resign,
//        /api/stop                form fields, as serve_api.h reads them
//   POST /api/record              a record's text, parsed for replaying
//   POST /api/record/psq, /api/record/sgf
//                                 a record's text, written again as a file
//   GET  /api/game?activity=A&game=N&format=psq|sgf
//                                 a game of the current activity, a file
//   GET  /api/record/last         the PSQ record of the last game ended
// Nothing else is served: no file is read to answer a request.
//
// Refused before routing: a Host the HostCheck of the listening address
// refuses, or given twice (403); an Origin that is not the page's own
// (403); a body with a Content-Encoding (415: decoded, it would have no
// bound). Bodies are bounded by the gate (request_frame.h).
//
// Threads: `threads` answer requests; each open tab's event stream holds
// one for as long as the tab is open (at most EventHub::MaxTabs).

#include <httplib.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "tools/match/serve/request_gate.h"
#include "tools/match/serve/serve_api.h"

namespace quorvex::match::serve {

struct PageServerLimits {
  GateLimits gate;
  size_t threads = 16;
  int32_t writeMs = 5000;  // a client that takes no byte of its answer for this long is dropped
  int32_t pingMs = 500;    // an event stream with no news writes a comment this often
};

class PageServer : public httplib::Server {
 public:
  // `api` must outlive the server; `listenHost` is the address it will
  // listen on, for the Host check.
  PageServer(ServeApi& api, const std::string& listenHost, PageServerLimits limits = {});
  ~PageServer() override;

  // Binds to `host` and `port` (0: a free one) and returns the port, or
  // -1. Connections wait for the listening thread in a queue of
  // `ListenBacklog`: the library's own five would make a burst of
  // connections wait a second or more for the kernel to take them again.
  static constexpr int ListenBacklog = 256;
  int Bind(const std::string& host, int port);

  // Stops listening, closes every connection and joins the server's
  // threads. The event streams end once `api` is shut down; until then
  // this waits for them. Called again, does nothing.
  void Close();

  // Answers the bytes one connection sends as the server would, without a
  // socket: each whole request in turn, a refused one and no more after
  // it; an unfinished request is not answered. Event streams are cut
  // after their first events. For the fuzz target.
  std::string AnswerBytes(std::string_view bytes);

  size_t OpenConnections() const { return gate_.OpenConnections(); }

 private:
  bool process_and_close_socket(socket_t sock) override;
  void Answer(RequestGate::Request request);

  const PageServerLimits limits_;
  httplib::ThreadPool workers_;
  RequestGate gate_;
  std::atomic<bool> closing_ = false;
  bool closed_ = false;
};

}  // namespace quorvex::match::serve

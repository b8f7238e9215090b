#pragma once
// Holds the server's connections while their clients send a request, on a
// thread of its own, so that a server thread is given a connection only
// once a whole request has come (request_frame.h): a client that sends
// slowly, or not at all, costs a descriptor and a little memory, never a
// thread that the page's own requests would wait for.
//
// Bounds, for every client alike:
//   - a whole request must come within `requestMs` of the connection being
//     accepted or its last answer written; else the connection is closed
//     (an idle keep-alive connection ends so too);
//   - at most `connectionsPerClient` connections from one address and
//     `connections` in all. A new connection beyond either first closes the
//     oldest one that has not yet sent its whole request; when every one is
//     being answered (an event stream, say), the new one is answered 503.
//   - a request the frame refuses is answered with its status (a JSON
//     body, "Connection: close"), and its client is given a short while to
//     read that before the connection closes, without more of its body
//     being kept.
//
// Thread-safety: Admit, Release and Stop may be called from any thread.
// `onRequest` runs on the gate's thread and must only hand the request on.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/match/serve/request_frame.h"

namespace quorvex::match::serve {

struct GateLimits {
  FrameLimits frame;
  size_t connectionsPerClient = 32;
  size_t connections = 128;
  int32_t requestMs = 5000;
};

// The whole answer to a refused request: status line, headers, JSON body.
std::string RefusalResponse(int status);

class RequestGate {
 public:
  struct Request {
    uint64_t connection = 0;  // to give back to Release
    int socket = -1;          // non-blocking; the gate's still
    std::string bytes;        // the request: head and body
  };
  using Handler = std::function<void(Request)>;

  RequestGate(GateLimits limits, Handler onRequest);
  ~RequestGate();
  RequestGate(const RequestGate&) = delete;
  RequestGate& operator=(const RequestGate&) = delete;

  // Takes over an accepted socket.
  void Admit(int socket);
  // The answer to the request of `connection` (on `socket`) is written:
  // wait for its next request (`keep`), or close it.
  void Release(uint64_t connection, int socket, bool keep);
  // Closes every connection not being answered, and each other one when it
  // is released; joins the gate's thread. Called again, does nothing.
  void Stop();

  // The connections open now, those being answered included.
  size_t OpenConnections() const;

 private:
  struct Connection;
  void Run();
  void Accept(int socket, int64_t now);
  // Closes the oldest waiting connection while `peer` or the server has
  // too many; false when none can go.
  bool MakeRoom(const std::string& peer);
  void Read(Connection& c, int64_t now);
  void Frame(Connection& c, int64_t now);
  void Refuse(Connection& c, int status, int64_t now);
  void Close(Connection& c);

  const GateLimits limits_;
  const Handler onRequest_;
  int wake_[2] = {-1, -1};
  std::thread thread_;

  mutable std::mutex mutex_;  // guards the queues, open_ and stopped_
  std::vector<int> admitted_;
  std::vector<std::pair<uint64_t, bool>> released_;  // connection, keep
  size_t open_ = 0;
  bool stopped_ = false;

  // The gate's thread's own.
  std::vector<Connection> connections_;
  uint64_t lastId_ = 0;
};

}  // namespace quorvex::match::serve

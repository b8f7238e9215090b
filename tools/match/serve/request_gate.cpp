#include "tools/match/serve/request_gate.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "tools/gomocup/brain_process/monotonic_clock.h"
#include "tools/match/serve/json_text.h"

namespace quorvex::match::serve {

namespace {

constexpr size_t kReadChunk = 64 << 10;
constexpr int32_t kDrainMs = 1000;       // for a refused client to read why
constexpr size_t kDrainBytes = 1 << 20;  // read and dropped meanwhile, at most

const char* ReasonPhrase(int status) {
  switch (status) {
    case 400:
      return "Bad Request";
    case 411:
      return "Length Required";
    case 413:
      return "Payload Too Large";
    case 431:
      return "Request Header Fields Too Large";
    case 503:
      return "Service Unavailable";
    default:
      return "Error";
  }
}

const char* Explanation(int status) {
  switch (status) {
    case 411:
      return "A request's body must come with its Content-Length, not in chunks.";
    case 413:
      return "The request is too large.";
    case 431:
      return "The request's header is too large.";
    case 503:
      return "Too many connections are open: try again.";
    default:
      return "The request is malformed.";
  }
}

std::string PeerAddress(int socket) {
  sockaddr_storage address{};
  socklen_t size = sizeof address;
  char text[INET6_ADDRSTRLEN] = "";
  if (getpeername(socket, reinterpret_cast<sockaddr*>(&address), &size) != 0) return text;
  if (address.ss_family == AF_INET) {
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&address)->sin_addr, text,
              sizeof text);
  } else if (address.ss_family == AF_INET6) {
    inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(&address)->sin6_addr, text,
              sizeof text);
  }
  return text;
}

// The socket's buffer is empty and a refusal is small: one try is enough.
void SendOnce(int socket, const std::string& text) {
  const ssize_t ignored = send(socket, text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  (void)ignored;
}

bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }

}  // namespace

std::string RefusalResponse(int status) {
  const std::string body = JsonError(Explanation(status));
  return "HTTP/1.1 " + std::to_string(status) + " " + ReasonPhrase(status) +
         "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + body;
}

struct RequestGate::Connection {
  enum class State { Waiting, Busy, Draining };
  uint64_t id = 0;
  int socket = -1;  // -1 once closed, until the entry is erased
  std::string peer;
  State state = State::Waiting;
  std::string buffer;   // what came and is not yet handed on
  size_t searched = 0;  // of buffer, searched for the end of a head
  size_t needed = 0;    // the request's length, once its head has come
  size_t drained = 0;
  int64_t since = 0;  // when it began to wait for its request
  int64_t deadline = 0;
};

RequestGate::RequestGate(GateLimits limits, Handler onRequest)
    : limits_(limits), onRequest_(std::move(onRequest)) {
  if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("cannot create a pipe");
  thread_ = std::thread([this] { Run(); });
}

RequestGate::~RequestGate() {
  Stop();
  close(wake_[0]);
  close(wake_[1]);
}

void RequestGate::Admit(int socket) {
  fcntl(socket, F_SETFD, FD_CLOEXEC);
  fcntl(socket, F_SETFL, fcntl(socket, F_GETFL) | O_NONBLOCK);
  {
    std::lock_guard lock(mutex_);
    if (!stopped_) {
      admitted_.push_back(socket);
      const char byte = 'a';
      const ssize_t ignored = write(wake_[1], &byte, 1);  // full: the thread is woken already
      (void)ignored;
      return;
    }
  }
  close(socket);
}

void RequestGate::Release(uint64_t connection, int socket, bool keep) {
  {
    std::lock_guard lock(mutex_);
    if (!stopped_) {
      released_.emplace_back(connection, keep);
      const char byte = 'r';
      const ssize_t ignored = write(wake_[1], &byte, 1);
      (void)ignored;
      return;
    }
  }
  close(socket);
}

void RequestGate::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    const char byte = 's';
    const ssize_t ignored = write(wake_[1], &byte, 1);
    (void)ignored;
  }
  if (thread_.joinable()) thread_.join();
}

size_t RequestGate::OpenConnections() const {
  std::lock_guard lock(mutex_);
  return open_;
}

void RequestGate::Run() {
  std::vector<pollfd> polled;
  std::vector<size_t> polledIndex;
  for (;;) {
    // 1. What other threads handed over; on stopping, everything not being
    //    answered closes (Release closes the rest).
    int64_t now = NowMs();
    std::vector<int> admitted;
    std::vector<std::pair<uint64_t, bool>> released;
    bool stopping = false;
    {
      std::lock_guard lock(mutex_);
      admitted.swap(admitted_);
      released.swap(released_);
      stopping = stopped_;
    }
    for (const int socket : admitted) Accept(socket, now);
    for (const auto& [id, keep] : released) {
      for (Connection& c : connections_) {
        if (c.id != id) continue;
        if (!keep) {
          Close(c);
        } else {
          c.state = Connection::State::Waiting;
          c.since = now;
          c.deadline = now + limits_.requestMs;
          Frame(c, now);  // the next request may have come with this one
        }
      }
    }
    for (Connection& c : connections_) {
      const bool waiting = c.state != Connection::State::Busy;
      if (waiting && (stopping || c.deadline <= now)) Close(c);
    }
    std::erase_if(connections_, [](const Connection& c) { return c.socket < 0; });
    {
      std::lock_guard lock(mutex_);
      open_ = connections_.size();
    }
    if (stopping) return;

    // 2. Wait for bytes, a deadline, or the other threads.
    polled.assign(1, pollfd{wake_[0], POLLIN, 0});
    polledIndex.assign(1, 0);
    int64_t wakeAt = INT64_MAX;
    for (size_t i = 0; i < connections_.size(); ++i) {
      if (connections_[i].state == Connection::State::Busy) continue;
      polled.push_back(pollfd{connections_[i].socket, POLLIN, 0});
      polledIndex.push_back(i);
      wakeAt = std::min(wakeAt, connections_[i].deadline);
    }
    const int timeout =
        wakeAt == INT64_MAX ? -1 : static_cast<int>(std::clamp<int64_t>(wakeAt - now, 0, 60000));
    if (poll(polled.data(), polled.size(), timeout) < 0 && errno != EINTR) continue;
    char sink[64];
    while (read(wake_[0], sink, sizeof sink) > 0) {
    }
    now = NowMs();
    for (size_t p = 1; p < polled.size(); ++p) {
      if (polled[p].revents != 0) Read(connections_[polledIndex[p]], now);
    }
  }
}

void RequestGate::Accept(int socket, int64_t now) {
  Connection c;
  c.id = ++lastId_;
  c.socket = socket;
  c.peer = PeerAddress(socket);
  c.since = now;
  c.deadline = now + limits_.requestMs;
  if (!MakeRoom(c.peer)) {
    SendOnce(socket, RefusalResponse(503));
    close(socket);
    return;
  }
  connections_.push_back(std::move(c));
}

bool RequestGate::MakeRoom(const std::string& peer) {
  for (;;) {
    size_t fromPeer = 0;
    size_t open = 0;
    for (const Connection& c : connections_) {
      if (c.socket < 0) continue;
      ++open;
      if (c.peer == peer) ++fromPeer;
    }
    const bool peerFull = fromPeer >= limits_.connectionsPerClient;
    if (!peerFull && open < limits_.connections) return true;
    Connection* oldest = nullptr;
    for (Connection& c : connections_) {
      if (c.socket < 0 || c.state == Connection::State::Busy || (peerFull && c.peer != peer)) {
        continue;
      }
      if (oldest == nullptr || c.since < oldest->since) oldest = &c;
    }
    if (oldest == nullptr) return false;
    Close(*oldest);
  }
}

void RequestGate::Read(Connection& c, int64_t now) {
  if (c.socket < 0) return;
  if (c.state == Connection::State::Draining) {
    char dropped[16 << 10];
    const ssize_t n = recv(c.socket, dropped, sizeof dropped, 0);
    if (n > 0) c.drained += static_cast<size_t>(n);
    if (n == 0 || (n < 0 && !WouldBlock()) || c.drained > kDrainBytes) Close(c);
    return;
  }
  // A buffer this full holds a whole request or a refused one, so there is
  // always room while waiting.
  const size_t capacity = limits_.frame.maxHeadBytes + limits_.frame.maxBodyBytes;
  static thread_local char chunk[kReadChunk];
  const ssize_t n = recv(c.socket, chunk, std::min(sizeof chunk, capacity - c.buffer.size()), 0);
  if (n > 0) {
    c.buffer.append(chunk, static_cast<size_t>(n));
    Frame(c, now);
  } else if (n == 0 || !WouldBlock()) {
    Close(c);
  }
}

void RequestGate::Frame(Connection& c, int64_t now) {
  if (c.buffer.size() < c.needed) return;
  const RequestFrame frame = FrameRequest(c.buffer, limits_.frame, c.searched);
  switch (frame.kind) {
    case RequestFrame::Kind::Incomplete:
      if (frame.length == 0) c.searched = c.buffer.size();
      c.needed = frame.length;
      return;
    case RequestFrame::Kind::Refused:
      Refuse(c, frame.status, now);
      return;
    case RequestFrame::Kind::Complete:
      break;
  }
  Request request{c.id, c.socket, c.buffer.substr(0, frame.length)};
  c.buffer.erase(0, frame.length);
  if (c.buffer.empty()) std::string().swap(c.buffer);  // an idle connection keeps no megabyte
  c.searched = 0;
  c.needed = 0;
  c.state = Connection::State::Busy;
  onRequest_(std::move(request));
}

void RequestGate::Refuse(Connection& c, int status, int64_t now) {
  SendOnce(c.socket, RefusalResponse(status));
  shutdown(c.socket, SHUT_WR);
  std::string().swap(c.buffer);
  c.state = Connection::State::Draining;
  c.deadline = now + kDrainMs;
}

void RequestGate::Close(Connection& c) {
  if (c.socket >= 0) close(c.socket);
  c.socket = -1;
}

}  // namespace quorvex::match::serve

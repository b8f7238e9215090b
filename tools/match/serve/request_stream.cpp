#include "tools/match/serve/request_stream.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quorvex::match::serve {

namespace {

// An interim 100, a head, and one more: the first events of a stream.
constexpr int kWritesWithoutSocket = 3;

using AddressOf = int (*)(int, sockaddr*, socklen_t*);

void Address(int socket, AddressOf addressOf, std::string& ip, int& port) {
  ip.clear();
  port = 0;
  sockaddr_storage address{};
  socklen_t size = sizeof address;
  if (socket < 0 || addressOf(socket, reinterpret_cast<sockaddr*>(&address), &size) != 0) return;
  char text[INET6_ADDRSTRLEN] = "";
  if (address.ss_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
    inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
    port = ntohs(v4->sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
    inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
    port = ntohs(v6->sin6_port);
  }
  ip = text;
}

}  // namespace

RequestStream::RequestStream(std::string request, int socket, int32_t writeMs)
    : request_(std::move(request)), socket_(socket), writeMs_(writeMs) {}

bool RequestStream::is_readable() const { return read_ < request_.size(); }

bool RequestStream::is_writable() const { return socket_ < 0 || WaitWritable(); }

bool RequestStream::WaitWritable() const {
  pollfd out{socket_, POLLOUT, 0};
  int ready = 0;
  do {
    ready = poll(&out, 1, writeMs_);
  } while (ready < 0 && errno == EINTR);
  return ready > 0 && (out.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
}

ssize_t RequestStream::read(char* ptr, size_t size) {
  const size_t n = std::min(size, request_.size() - read_);
  std::memcpy(ptr, request_.data() + read_, n);
  read_ += n;
  return static_cast<ssize_t>(n);
}

ssize_t RequestStream::write(const char* ptr, size_t size) {
  if (socket_ < 0) {
    if (++writes_ > kWritesWithoutSocket) return -1;
    output_.append(ptr, size);
    return static_cast<ssize_t>(size);
  }
  size_t sent = 0;
  while (sent < size) {
    const ssize_t n = send(socket_, ptr + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && WaitWritable()) {
      continue;
    } else {
      return -1;
    }
  }
  return static_cast<ssize_t>(size);
}

void RequestStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  Address(socket_, getpeername, ip, port);
}

void RequestStream::get_local_ip_and_port(std::string& ip, int& port) const {
  Address(socket_, getsockname, ip, port);
}

}  // namespace quorvex::match::serve

#pragma once
// One request as cpp-httplib reads it, and the way its answer goes out.
//
// Reads give the bytes of the request (the gate has them all already, so
// a read never waits for the client) and then end. Writes go to the
// client's non-blocking socket; a write that the client does not take
// within `writeMs` fails, and with it the answer and the connection.
//
// Without a socket (-1), the answer is collected in output(), and the
// stream takes three writes (an interim 100, a head, one more) and fails
// the next: an event stream ends after its first events, as it does when
// its tab closes.

#include <httplib.h>

#include <cstdint>
#include <string>

namespace quorvex::match::serve {

class RequestStream : public httplib::Stream {
 public:
  RequestStream(std::string request, int socket, int32_t writeMs);

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char* ptr, size_t size) override;
  ssize_t write(const char* ptr, size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  socket_t socket() const override { return socket_; }

  const std::string& output() const { return output_; }

 private:
  bool WaitWritable() const;

  const std::string request_;
  size_t read_ = 0;
  const int socket_;
  const int32_t writeMs_;
  std::string output_;
  int writes_ = 0;
};

}  // namespace quorvex::match::serve

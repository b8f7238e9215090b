// The page's server (quorvex-match --serve) under attack, over real
// sockets: forged Host names and foreign origins, bodies beyond the cap,
// request lines read leniently, and slow clients.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/gomocup/gomocup_test_support.h"
#include "tools/gomocup/brain_process/child_process.h"

namespace quorvex::match::serve {
namespace {

// quorvex-match --serve with no brain, on a free port of `host`.
class Server {
 public:
  explicit Server(const std::string& host = "127.0.0.1") {
    std::string error;
    EXPECT_TRUE(process_.Spawn({QUORVEX_MATCH_PATH, "--serve", "--host", host, "--port", "0", "-q"},
                               "/", error))
        << error;
    std::string line;
    EXPECT_EQ(process_.ReadLine(line, 10000), ChildProcess::ReadStatus::Line);
    const size_t colon = line.rfind(':');
    port_ = colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1);
    EXPECT_GT(port_, 0) << line;
  }
  ~Server() { process_.Stop(0); }
  int port() const { return port_; }

 private:
  ChildProcess process_;
  int port_ = 0;
};

class Client {
 public:
  explicit Client(int port) : socket_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  }
  ~Client() { close(socket_); }

  bool Send(const std::string& bytes) {
    return send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
  }

  // What comes within `ms`, up to the end of one answer with a
  // Content-Length, or of the connection; or up to `until`, if given.
  std::string Receive(int32_t ms, const std::string& until = "") {
    const int64_t deadline = NowMs() + ms;
    for (;;) {
      if (!until.empty() && received_.find(until) != std::string::npos) break;
      const size_t head = received_.find("\r\n\r\n");
      const size_t length = received_.find("Content-Length: ");
      if (head != std::string::npos && length != std::string::npos && length < head &&
          received_.size() >= head + 4 + std::stoul(received_.substr(length + 16))) {
        break;
      }
      pollfd in{socket_, POLLIN, 0};
      const int64_t left = deadline - NowMs();
      if (left <= 0 || poll(&in, 1, static_cast<int>(left)) <= 0) break;
      char buffer[65536];
      const ssize_t n = recv(socket_, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      received_.append(buffer, static_cast<size_t>(n));
    }
    return std::exchange(received_, std::string());
  }

 private:
  int socket_;
  std::string received_;
};

int StatusOf(const std::string& answer) {
  return answer.starts_with("HTTP/1.1 ") ? std::atoi(answer.c_str() + 9) : 0;
}

std::string Request(const std::string& method, const std::string& path, const std::string& host,
                    const std::string& extra = "", const std::string& body = "") {
  return method + " " + path + " HTTP/1.1\r\n" + (host.empty() ? "" : "Host: " + host + "\r\n") +
         extra + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

int Ask(int port, const std::string& request) {
  Client client(port);
  EXPECT_TRUE(client.Send(request));
  return StatusOf(client.Receive(5000));
}

TEST(ServeHardeningTest, ForgedHostsAndForeignOriginsAreRefused) {
  Server server;
  const std::string port = std::to_string(server.port());
  for (const std::string& host : {"127.0.0.1:" + port, "localhost:" + port, "[::1]:" + port,
                                  std::string("127.5.6.7"), std::string("LocalHost")}) {
    EXPECT_EQ(Ask(server.port(), Request("GET", "/", host)), 200) << host;
  }
  for (const std::string& host :
       {std::string("127.0.0.1.attacker.example"), "127.0.0.1.attacker.example:" + port,
        std::string("127.1"), std::string("localhost.attacker.example"),
        std::string("[::1].attacker.example"), std::string("127.0.0.1:99999"),
        std::string("127.0.0.1:80x"), std::string("")}) {
    EXPECT_EQ(Ask(server.port(), Request("GET", "/", host)), 403) << host;
  }

  // A page of another origin may neither open an event stream nor act;
  // the page's own may.
  const std::string host = "127.0.0.1:" + port;
  for (const std::string& origin :
       {std::string("http://attacker.example"), std::string("null"),
        "http://127.0.0.1.attacker.example:" + port, "https://127.0.0.1:" + port,
        std::string("http://127.0.0.1:1"), "http://localhost:" + port}) {
    const std::string header = "Origin: " + origin + "\r\n";
    EXPECT_EQ(Ask(server.port(), Request("GET", "/api/events", host, header)), 403) << origin;
    EXPECT_EQ(Ask(server.port(), Request("POST", "/api/stop", host, header, "tab=1")), 403)
        << origin;
  }
  const std::string own =
      "Origin: http://" + host + "\r\nContent-Type: application/x-www-form-urlencoded\r\n";
  EXPECT_EQ(Ask(server.port(), Request("POST", "/api/stop", host, own, "tab=1")), 409);

  // Listening everywhere: an address written as one cannot be rebound, a
  // name can.
  Server everywhere("0.0.0.0");
  const std::string other = std::to_string(everywhere.port());
  EXPECT_EQ(Ask(everywhere.port(), Request("GET", "/", "192.0.2.7:" + other)), 200);
  EXPECT_EQ(Ask(everywhere.port(), Request("GET", "/", "attacker.example:" + other)), 403);
}

TEST(ServeHardeningTest, BodiesBeyondTheCapAreRefusedBeforeTheyAreRead) {
  Server server;
  const std::string host = "127.0.0.1:" + std::to_string(server.port());
  const std::string chunk(65536, 'x');
  struct Case {
    std::string head;
    int status;
  };
  const std::vector<Case> cases = {
      {"Transfer-Encoding: chunked\r\n\r\n10000\r\n" + chunk + "\r\n", 411},
      {"Content-Length: 300000000\r\n\r\n" + chunk, 413},
      {"Content-Length: 5\r\nContent-Encoding: gzip\r\n\r\nxxxxx", 415},
  };
  for (const Case& c : cases) {
    Client client(server.port());
    ASSERT_TRUE(client.Send("POST /api/record HTTP/1.1\r\nHost: " + host + "\r\n" + c.head));
    // Only part of the body was sent: the answer cannot wait for the rest.
    const std::string answer = client.Receive(2000);
    EXPECT_EQ(StatusOf(answer), c.status) << answer;
  }
  // A request line the server's parser would read leniently (a blank
  // before the method, a tab, another version) is refused whole; so is a
  // Range on a POST, which it would apply to the answer.
  for (const std::string line : {" HEAD / HTTP/1.1", "\tGET / HTTP/1.1", "GET / HTTP/9.9",
                                 "POST /api/stop HTTP/1.1\r\nRange: bytes=0-3"}) {
    Client client(server.port());
    ASSERT_TRUE(client.Send(line + "\r\nHost: " + host + "\r\n\r\n"));
    EXPECT_EQ(StatusOf(client.Receive(2000)), 400) << line;
  }
  EXPECT_EQ(Ask(server.port(), Request("GET", "/", host)), 200);
}

TEST(ServeHardeningTest, SlowClientsStarveNeitherThePageNorAnOpenTab) {
  Server server;
  const std::string host = "127.0.0.1:" + std::to_string(server.port());
  Client tab(server.port());
  ASSERT_TRUE(tab.Send("GET /api/events HTTP/1.1\r\nHost: " + host + "\r\n\r\n"));
  EXPECT_NE(tab.Receive(2000, "event: hello").find("event: hello"), std::string::npos);

  // More than one client address may hold, all from the page's own, each
  // stuck in its head; then the page asks for its files.
  std::vector<std::unique_ptr<Client>> slow;
  for (int i = 0; i < 40; ++i) {
    slow.push_back(std::make_unique<Client>(server.port()));
    ASSERT_TRUE(slow.back()->Send("GET / HTTP/1.1\r\nHo"));
  }
  for (const char* path : {"/", "/app.js", "/style.css"}) {
    Client page(server.port());
    ASSERT_TRUE(page.Send(Request("GET", path, host)));
    EXPECT_EQ(StatusOf(page.Receive(2000)), 200) << path;
  }
  // The tab is still sent its pings.
  EXPECT_NE(tab.Receive(2000, ":\n\n").find(":\n\n"), std::string::npos);
}

}  // namespace
}  // namespace quorvex::match::serve

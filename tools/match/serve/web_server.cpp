#include "tools/match/serve/web_server.h"

#include <fcntl.h>
#include <httplib.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "tools/match/openings.h"
#include "tools/match/serve/json_text.h"
#include "tools/match/serve/serve_api.h"
#include "tools/match/serve/web_assets.h"

namespace quorvex::match::serve {

namespace {

constexpr int kBadArguments = 2;
constexpr int kCannotStart = 3;
// Each open tab holds a connection and one of these threads for its event
// stream (at most EventHub::MaxTabs); a browser keeps a few more
// connections open for requests.
constexpr size_t kServerThreads = 16;
constexpr size_t kMaxRequestBytes = 1 << 20;  // a record of 400 stones is 6 kB
constexpr int32_t kPingMs = 500;              // a closed tab is noticed at the next write
constexpr const char* kJson = "application/json";

// Written by the signal handler, read by the main thread, which then stops
// everything in order.
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 's';
  const ssize_t ignored = write(signalPipe[1], &byte, 1);
  (void)ignored;
}

bool IsLoopback(std::string_view host) {
  return host == "localhost" || host.starts_with("127.") || host == "::1" || host == "[::1]";
}

// The name in a Host header: "127.0.0.1:8080" -> "127.0.0.1", "[::1]:80" -> "[::1]".
std::string_view HostName(std::string_view header) {
  if (header.starts_with("[")) return header.substr(0, header.find(']') + 1);
  return header.substr(0, header.find(':'));
}

std::string_view ContentTypeOf(std::string_view name) {
  if (name.ends_with(".html")) return "text/html; charset=utf-8";
  if (name.ends_with(".css")) return "text/css; charset=utf-8";
  if (name.ends_with(".js")) return "text/javascript; charset=utf-8";
  return "application/octet-stream";
}

void Send(httplib::Response& res, const ServeApi::Reply& reply) {
  res.status = reply.status;
  res.set_content(reply.body, kJson);
}

void AddRoutes(httplib::Server& server, ServeApi& api) {
  // 1. The page.
  for (const WebAsset& asset : WebAssets()) {
    const auto serve = [asset](const httplib::Request&, httplib::Response& res) {
      res.set_content(asset.body.data(), asset.body.size(), std::string(ContentTypeOf(asset.name)));
    };
    std::string pattern(1, '/');  // a regular expression: dots escaped
    for (const char c : asset.name) {
      if (c == '.') pattern += '\\';
      pattern += c;
    }
    server.Get(pattern, serve);
    if (asset.name == "index.html") server.Get("/", serve);
  }

  // 2. Each tab's event stream; its end closes the tab.
  server.Get("/api/events", [&api](const httplib::Request&, httplib::Response& res) {
    const auto tab = api.hub().OpenTab();
    if (!tab) {
      res.status = 503;
      res.set_content(JsonError("Too many tabs are open on this board: close one and reload."),
                      kJson);
      return;
    }
    auto cursor = std::make_shared<EventHub::Cursor>();
    cursor->tab = *tab;
    res.set_chunked_content_provider(
        "text/event-stream",
        [&api, cursor](size_t, httplib::DataSink& sink) {
          const auto events = api.hub().NextEvents(*cursor, kPingMs);
          if (!events) {
            sink.done();
            return true;
          }
          return sink.write(events->data(), events->size());
        },
        [&api, cursor](bool) { api.TabClosed(cursor->tab); });
  });

  // 3. What the page asks.
  using Handler = ServeApi::Reply (ServeApi::*)(const ServeApi::Params&);
  const std::pair<const char*, Handler> actions[] = {
      {"/api/play", &ServeApi::Play}, {"/api/watch", &ServeApi::Watch},
      {"/api/move", &ServeApi::Move}, {"/api/resign", &ServeApi::Resign},
      {"/api/stop", &ServeApi::Stop},
  };
  for (const auto& [path, handler] : actions) {
    server.Post(path, [&api, handler](const httplib::Request& req, httplib::Response& res) {
      Send(res, (api.*handler)(req.params));
    });
  }
  server.Post("/api/record", [&api](const httplib::Request& req, httplib::Response& res) {
    Send(res, api.Record(req.body));
  });
  server.Get("/api/record/last", [&api](const httplib::Request&, httplib::Response& res) {
    const std::string psq = api.hub().LastRecord();
    if (psq.empty()) {
      res.status = 404;
      res.set_content(JsonError("No game has ended yet."), kJson);
      return;
    }
    res.set_header("Content-Disposition", "attachment; filename=\"last-game.psq\"");
    res.set_content(psq, "text/plain; charset=utf-8");
  });
}

void Configure(httplib::Server& server, bool loopback) {
  server.new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
  server.set_payload_max_length(kMaxRequestBytes);
  // SO_REUSEADDR only: with SO_REUSEPORT a second server would share the
  // port with this one instead of failing to listen.
  server.set_socket_options([](socket_t sock) {
    const int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    fcntl(sock, F_SETFD, FD_CLOEXEC);
  });
  server.set_default_headers({{"Cache-Control", "no-store"},
                              {"X-Content-Type-Options", "nosniff"},
                              {"Content-Security-Policy", "default-src 'self'"},
                              {"Referrer-Policy", "no-referrer"}});
  server.set_pre_routing_handler([loopback](const httplib::Request& req, httplib::Response& res) {
    if (!loopback || IsLoopback(HostName(req.get_header_value("Host")))) {
      return httplib::Server::HandlerResponse::Unhandled;
    }
    res.status = 403;
    res.set_content(JsonError("This server answers only pages of 127.0.0.1 or localhost."), kJson);
    return httplib::Server::HandlerResponse::Handled;
  });
  const httplib::Server::HandlerWithResponse explainError = [](const httplib::Request&,
                                                               httplib::Response& res) {
    if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
    const std::string message =
        res.status == 404   ? "There is no such page or request."
        : res.status == 413 ? "The request is too large."
                            : "The request was refused (HTTP " + std::to_string(res.status) + ").";
    res.set_content(JsonError(message), kJson);
    return httplib::Server::HandlerResponse::Handled;
  };
  server.set_error_handler(explainError);
  server.set_exception_handler(
      [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content(JsonError("The server failed on this request."), kJson);
      });
}

}  // namespace

int RunWebServer(const MatchOptions& options) {
  // 1. The brains and what the page offers by default.
  ServeConfig config;
  std::string error;
  for (const std::string& player : options.players) {
    const auto command = ResolveBrainCommand(player, error);
    if (!command) {
      std::cerr << "quorvex-match: " << error << "\n";
      return kCannotStart;
    }
    config.brains.push_back(*command);
  }
  if (!options.openingsPath.empty() &&
      !LoadOpenings(options.openingsPath, options.settings.boardSize, error)) {
    std::cerr << "quorvex-match: " << error << "\n";
    return kBadArguments;
  }
  config.defaults.games = options.games;
  config.defaults.settings = options.settings;
  config.defaults.delayMs = options.delayMs;
  config.defaults.outDir = options.outDir;
  config.openingsPath = options.openingsPath;
  config.reuse = options.reuse;

  // 2. Signals reach the main thread through a pipe; a tab that closed
  //    while being written to is an error to handle, not SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  if (pipe2(signalPipe, O_CLOEXEC) != 0) {
    std::cerr << "quorvex-match: cannot create a pipe\n";
    return kBadArguments;
  }
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);

  // 3. Listen.
  ServeApi api(config, options.quiet ? nullptr : &std::cout);
  httplib::Server server;
  Configure(server, IsLoopback(options.host));
  AddRoutes(server, api);
  int port = options.port;
  const bool bound = port == 0 ? (port = server.bind_to_any_port(options.host)) > 0
                               : server.bind_to_port(options.host, port);
  if (!bound) {
    std::cerr << "quorvex-match: cannot listen on " << options.host << " port " << options.port
              << "\n";
    return kBadArguments;
  }
  const bool v6 = options.host.find(':') != std::string::npos;
  std::cout << "quorvex-match: serving on http://" << (v6 ? "[" : "") << options.host
            << (v6 ? "]" : "") << ":" << port << "/ (Ctrl-C stops)" << std::endl;
  std::thread listener([&server] {
    server.listen_after_bind();
    OnSignal(0);  // it stopped by itself: stop the rest too
  });

  // 4. Until a signal; then the streams, the games and their brains, and
  //    the server, in that order.
  char byte = 0;
  while (read(signalPipe[0], &byte, 1) < 0 && errno == EINTR) {
  }
  std::cout << "quorvex-match: stopping" << std::endl;
  api.Shutdown();
  server.stop();
  listener.join();
  return 0;
}

}  // namespace quorvex::match::serve

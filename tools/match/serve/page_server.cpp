#include "tools/match/serve/page_server.h"

#include <fcntl.h>
#include <sys/socket.h>

#include <memory>
#include <string>

#include "tools/match/serve/host_check.h"
#include "tools/match/serve/json_text.h"
#include "tools/match/serve/request_stream.h"
#include "tools/match/serve/web_assets.h"

namespace quorvex::match::serve {

namespace {

constexpr const char* kJson = "application/json";

// Runs each task at once, on the listening thread: a task only hands the
// accepted socket to the gate.
class AtOnce : public httplib::TaskQueue {
 public:
  void enqueue(std::function<void()> task) override { task(); }
  void shutdown() override {}
};

std::string_view ContentTypeOf(std::string_view name) {
  if (name.ends_with(".html")) return "text/html; charset=utf-8";
  if (name.ends_with(".css")) return "text/css; charset=utf-8";
  if (name.ends_with(".js")) return "text/javascript; charset=utf-8";
  if (name.ends_with(".ico")) return "image/x-icon";
  return "application/octet-stream";
}

void Send(httplib::Response& res, const ServeApi::Reply& reply) {
  res.status = reply.status;
  if (reply.fileName.empty()) {
    res.set_content(reply.body, kJson);
    return;
  }
  // The name is the server's own ("watch-002-game-003.sgf"): nothing to escape.
  res.set_header("Content-Disposition", "attachment; filename=\"" + reply.fileName + "\"");
  res.set_content(reply.body, reply.fileName.ends_with(".sgf") ? "application/x-go-sgf"
                                                               : "text/plain; charset=utf-8");
}

httplib::Server::HandlerResponse Refuse(httplib::Response& res, int status,
                                        std::string_view message) {
  res.status = status;
  res.set_content(JsonError(message), kJson);
  return httplib::Server::HandlerResponse::Handled;
}

// `pingMs`: a closed tab is noticed at the next write.
void AddRoutes(httplib::Server& server, ServeApi& api, int32_t pingMs) {
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
  server.Get("/api/events", [&api, pingMs](const httplib::Request&, httplib::Response& res) {
    const auto tab = api.hub().OpenTab();
    if (!tab) {
      res.status = 503;
      res.set_content(JsonError("Too many tabs are open on this board (" +
                                std::to_string(EventHub::MaxTabs) +
                                " at most): close one and reload."),
                      kJson);
      return;
    }
    auto cursor = std::make_shared<EventHub::Cursor>();
    cursor->tab = *tab;
    res.set_chunked_content_provider(
        "text/event-stream",
        [&api, cursor, pingMs](size_t, httplib::DataSink& sink) {
          const auto events = api.hub().NextEvents(*cursor, pingMs);
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
      {"/api/play", &ServeApi::Play},         {"/api/watch", &ServeApi::Watch},
      {"/api/move", &ServeApi::Move},         {"/api/takeback", &ServeApi::TakeBack},
      {"/api/resign", &ServeApi::Resign},     {"/api/stop", &ServeApi::Stop},
  };
  for (const auto& action : actions) {
    const Handler handler = action.second;  // clang 14 cannot capture a structured binding
    server.Post(action.first, [&api, handler](const httplib::Request& req, httplib::Response& res) {
      Send(res, (api.*handler)(req.params));
    });
  }
  server.Post("/api/record", [&api](const httplib::Request& req, httplib::Response& res) {
    Send(res, api.Record(req.body));
  });
  for (const char* format : {"psq", "sgf"}) {
    server.Post(std::string("/api/record/") + format,
                [&api, format](const httplib::Request& req, httplib::Response& res) {
                  Send(res, api.Convert(req.body, format));
                });
  }
  server.Get("/api/game", [&api](const httplib::Request& req, httplib::Response& res) {
    Send(res, api.Game(req.params));
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

void Configure(httplib::Server& server, const HostCheck& hosts, const PageServerLimits& limits) {
  server.new_task_queue = [] { return new AtOnce; };
  server.set_payload_max_length(limits.gate.frame.maxBodyBytes);
  server.set_keep_alive_timeout(std::max<time_t>(1, limits.gate.requestMs / 1000));
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
  server.set_pre_routing_handler([hosts](const httplib::Request& req, httplib::Response& res) {
    const std::string host = req.get_header_value("Host");
    if (req.get_header_value_count("Host") != 1 || !hosts.AcceptsHost(host)) {
      return Refuse(res, 403, "This server answers only pages that name it by its own address.");
    }
    if (req.has_header("Origin") && (req.get_header_value_count("Origin") != 1 ||
                                     !hosts.AcceptsOrigin(req.get_header_value("Origin"), host))) {
      return Refuse(res, 403, "This server answers only its own page.");
    }
    if (req.has_header("Content-Encoding")) {
      return Refuse(res, 415, "A request's body must not be compressed.");
    }
    return httplib::Server::HandlerResponse::Unhandled;
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

PageServer::PageServer(ServeApi& api, const std::string& listenHost, PageServerLimits limits)
    : limits_(limits),
      workers_(limits.threads),
      gate_(limits.gate, [this](RequestGate::Request request) {
        workers_.enqueue([this, request]() mutable { Answer(std::move(request)); });
      }) {
  Configure(*this, HostCheck(listenHost), limits_);
  AddRoutes(*this, api, limits_.pingMs);
}

PageServer::~PageServer() { Close(); }

void PageServer::Close() {
  if (closed_) return;
  closed_ = true;
  closing_ = true;
  stop();
  gate_.Stop();
  workers_.shutdown();
}

int PageServer::Bind(const std::string& host, int port) {
  const bool bound = port == 0 ? (port = bind_to_any_port(host)) > 0 : bind_to_port(host, port);
  if (!bound) return -1;
  ::listen(svr_sock_, ListenBacklog);  // Linux takes a new backlog for a listening socket
  return port;
}

bool PageServer::process_and_close_socket(socket_t sock) {
  gate_.Admit(sock);
  return true;
}

void PageServer::Answer(RequestGate::Request request) {
  RequestStream stream(std::move(request.bytes), request.socket, limits_.writeMs);
  bool clientCloses = false;
  const bool closing = closing_;
  const bool answered = process_request(stream, closing, clientCloses, nullptr);
  gate_.Release(request.connection, request.socket, answered && !clientCloses && !closing);
}

std::string PageServer::AnswerBytes(std::string_view bytes) {
  std::string out;
  while (!bytes.empty()) {
    const RequestFrame frame = FrameRequest(bytes, limits_.gate.frame);
    if (frame.kind == RequestFrame::Kind::Refused) return out + RefusalResponse(frame.status);
    if (frame.kind == RequestFrame::Kind::Incomplete) return out;
    RequestStream stream(std::string(bytes.substr(0, frame.length)), -1, 0);
    bytes.remove_prefix(frame.length);
    bool clientCloses = false;
    const bool answered = process_request(stream, false, clientCloses, nullptr);
    out += stream.output();
    if (!answered || clientCloses) return out;
  }
  return out;
}

}  // namespace quorvex::match::serve

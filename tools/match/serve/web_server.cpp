#include "tools/match/serve/web_server.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <string>
#include <thread>

#include "tools/gomocup/referee/openings.h"
#include "tools/match/serve/page_server.h"
#include "tools/match/serve/serve_api.h"

namespace quorvex::match::serve {

namespace {

constexpr int kBadArguments = 2;
constexpr int kCannotStart = 3;

// Written by the signal handler, read by the main thread, which then stops
// everything in order.
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 's';
  const ssize_t ignored = write(signalPipe[1], &byte, 1);
  (void)ignored;
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
  PageServer server(api, options.host);
  const int port = server.Bind(options.host, options.port);
  if (port <= 0) {
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
  server.Close();
  listener.join();
  return 0;
}

}  // namespace quorvex::match::serve

#pragma once
// quorvex-match --serve: the page in the browser, over HTTP.
//
// Serves the page (page_server.h) on options.host:options.port (port 0: a
// free one) until SIGINT, SIGTERM or SIGHUP, and prints the address to open
// once it listens. On stopping, the event streams end and the running game
// or match is stopped, its brains ended and reaped, before the function
// returns.
//
// Returns the exit status: 0 after a signal, 2 when the address cannot be
// listened on or the openings file is bad, 3 when a brain command names no
// program.

#include "tools/match/options.h"

namespace quorvex::match::serve {

int RunWebServer(const MatchOptions& options);

}  // namespace quorvex::match::serve

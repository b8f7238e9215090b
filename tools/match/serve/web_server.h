#pragma once
// quorvex-match --serve: the page in the browser, over HTTP.
//
// Serves on options.host:options.port (port 0: a free one) until SIGINT,
// SIGTERM or SIGHUP, and prints the address to open once it listens:
//   GET  /, /app.js, /style.css   the page, compiled into the program
//   GET  /api/events              a tab's event stream (event_hub.h)
//   POST /api/play, /api/watch, /api/move, /api/resign, /api/stop
//                                 form fields, as serve_api.h reads them
//   POST /api/record              a record's text, parsed for replaying
//   GET  /api/record/last         the PSQ record of the last game ended
// Listening on this machine's loopback, it answers only requests whose
// Host header names loopback too, so a page of another site cannot reach
// it through a name that resolves here. On stopping, the event streams end
// and the running game or match is stopped, its brains ended and reaped,
// before the function returns.
//
// Returns the exit status: 0 after a signal, 2 when the address cannot be
// listened on or the openings file is bad, 3 when a brain command names no
// program.

#include "tools/match/options.h"

namespace quorvex::match::serve {

int RunWebServer(const MatchOptions& options);

}  // namespace quorvex::match::serve

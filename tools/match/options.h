#pragma once
// The command line of quorvex-match:
//   quorvex-match [options] PLAYER1 PLAYER2
//   quorvex-match --serve [--port N] [--host H] [options] [BRAIN [BRAIN]]
// PLAYER is a brain command (quoted when it has arguments) or "human". With
// --serve the person is at the page, so every player given is a brain.

#include <optional>
#include <string>
#include <vector>

#include "tools/gomocup/referee/player.h"

namespace quorvex::match {

// The turn times accepted, on the command line and on the page alike.
constexpr int32_t MinTurnMs = 1;
constexpr int32_t MaxTurnMs = 3600000;

struct MatchOptions {
  std::vector<std::string> players;  // two; with `serve` none, one or two
  int32_t games = 1;
  GameSettings settings;
  std::string openingsPath;
  bool reuse = false;  // one process per brain for the whole match
  bool watch = false;  // the board after every move
  int32_t delayMs = 0;
  std::string outDir = "match-out";
  bool quiet = false;
  bool serve = false;   // a page in the browser instead of one match
  int32_t port = 8080;  // 0: any free port
  std::string host = "127.0.0.1";
  bool help = false;  // print UsageText and stop
};

// Empty, with `error` saying what is wrong, on a bad command line.
std::optional<MatchOptions> ParseOptions(const std::vector<std::string>& args, std::string& error);

std::string UsageText();

}  // namespace quorvex::match

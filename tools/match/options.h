#pragma once
// The command line of quorvex-match:
//   quorvex-match [options] PLAYER1 PLAYER2
// PLAYER is a brain command (quoted when it has arguments) or "human".

#include <optional>
#include <string>
#include <vector>

#include "tools/match/player.h"

namespace quorvex::match {

struct MatchOptions {
  std::string players[2];
  int32_t games = 1;
  GameSettings settings;
  std::string openingsPath;
  bool reuse = false;  // one process per brain for the whole match
  bool watch = false;  // the board after every move
  int32_t delayMs = 0;
  std::string outDir = "match-out";
  bool quiet = false;
  bool help = false;  // print UsageText and stop
};

// Empty, with `error` saying what is wrong, on a bad command line.
std::optional<MatchOptions> ParseOptions(const std::vector<std::string>& args, std::string& error);

std::string UsageText();

}  // namespace quorvex::match

#include "tools/match/options.h"

#include <functional>
#include <string_view>

#include "tools/match/bounded_int.h"

namespace quorvex::match {

std::string UsageText() {
  return R"(usage: quorvex-match [options] PLAYER1 PLAYER2
       quorvex-match --serve [--port N] [--host H] [options] [BRAIN [BRAIN]]

Plays and referees Gomocup games (freestyle: five or more in a row wins).
PLAYER is a brain command, quoted if it has arguments (the brain runs in its
own directory), or "human" to play at the terminal (moves like h8 or 7,7).
PLAYER1 has black in odd games, PLAYER2 in even games.

options:
  -g, --games N          games to play (default 1)
  -s, --size N           board size, 15 or 20 (default 20)
  -t, --turn-ms MS       time for one move, sent as timeout_turn (default 5000)
  -m, --match-ms MS      time for all of a side's moves in one game, sent as
                         timeout_match; 0 = no limit (default 0)
      --tolerance-ms MS  lateness forgiven on both limits (default 200)
      --max-memory BYTES sent as max_memory; 0 = no limit (default 0)
      --start-ms MS      time a brain has to answer START (default 10000)
  -o, --openings FILE    one opening a line, as moves ("h8 i9 i7", "7,7 8,8")
                         or as offsets from the centre ("0,0, 1,1, -1,1", as
                         Gomocup keeps them); each is played twice, colours
                         swapped, and reaches both brains as BOARD ... DONE
      --reuse            one process per brain for the whole match, START
                         between games (default: a fresh process each game)
  -w, --watch            draw the board after every move
      --delay-ms MS      pause after each drawn move (default 0)
      --out DIR          where game-NNN.psq and game-NNN.svg go
                         (default match-out)
  -q, --quiet            print only the results table
  -h, --help             this text

serving a page in the browser:
      --serve            serve a page to play a BRAIN by clicking, watch a
                         match of the two BRAINs (one BRAIN plays itself)
                         and replay PSQ or SGF records; the options above
                         set the page's defaults; Ctrl-C stops it. A game
                         stopped (Stop, New game, the page closed) ends at
                         once and is not scored. The page keeps and shows
                         the last 500 log lines of a game or match, each
                         cut after 2048 bytes, and keeps for saving the
                         records of its last 100 games. At most 4 tabs
                         may show it at once (one plays, the others only
                         show the board); a fifth is refused with a page
                         that says so, until one of them closes
      --port N           port to listen on; 0 picks a free one (default 8080)
      --host H           address to listen on (default 127.0.0.1, this
                         machine only). Any other address lets everyone who
                         can reach the port start games of the brains on
                         this machine (their processes run as you), write
                         their records into --out and download them, and
                         read the brains' messages. There is no password.
                         Answered: requests from the page itself that
                         name H as their Host (with 127.x.x.x, localhost
                         or [::1] for loopback, any address written as
                         one for 0.0.0.0 or ::), sent whole within 5 s,
                         a body of 1 MiB at most with a Content-Length

exit status: 0 all games decided on the board, 1 some game lost by a forfeit
(illegal move, ERROR, crash or time), 2 bad arguments or files, 3 a brain
could not be started or did not answer START. With --serve: 0 once stopped
by Ctrl-C (or SIGTERM), 2 bad arguments or an address that cannot be
listened on, 3 a brain command that does not name a program.
)";
}

std::optional<MatchOptions> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  MatchOptions options;
  std::vector<std::string> players;
  struct IntOption {
    std::string_view shortName, longName;
    int64_t low, high;
    std::function<void(int64_t)> set;
  };
  GameSettings& s = options.settings;
  bool portGiven = false;
  bool hostGiven = false;
  const IntOption intOptions[] = {
      {"-g", "--games", 1, 100000, [&](int64_t v) { options.games = static_cast<int32_t>(v); }},
      {"-s", "--size", 15, 20, [&](int64_t v) { s.boardSize = static_cast<int32_t>(v); }},
      {"-t", "--turn-ms", MinTurnMs, MaxTurnMs,
       [&](int64_t v) { s.turnMs = static_cast<int32_t>(v); }},
      {"-m", "--match-ms", 0, 1000000000, [&](int64_t v) { s.matchMs = static_cast<int32_t>(v); }},
      {"", "--tolerance-ms", 0, 600000,
       [&](int64_t v) { s.toleranceMs = static_cast<int32_t>(v); }},
      {"", "--max-memory", 0, INT64_MAX, [&](int64_t v) { s.maxMemory = v; }},
      {"", "--start-ms", 1, 600000, [&](int64_t v) { s.startMs = static_cast<int32_t>(v); }},
      {"", "--delay-ms", 0, 60000, [&](int64_t v) { options.delayMs = static_cast<int32_t>(v); }},
      {"", "--port", 0, 65535,
       [&](int64_t v) {
         options.port = static_cast<int32_t>(v);
         portGiven = true;
       }},
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&]() -> const std::string* {
      if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return nullptr;
      }
      return &args[++i];
    };
    if (arg == "-h" || arg == "--help") {
      options.help = true;
      return options;
    }
    if (arg == "--reuse") {
      options.reuse = true;
    } else if (arg == "-w" || arg == "--watch") {
      options.watch = true;
    } else if (arg == "-q" || arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "-o" || arg == "--openings") {
      const std::string* v = value();
      if (v == nullptr) return std::nullopt;
      options.openingsPath = *v;
    } else if (arg == "--out") {
      const std::string* v = value();
      if (v == nullptr) return std::nullopt;
      options.outDir = *v;
    } else if (arg == "--serve") {
      options.serve = true;
    } else if (arg == "--host") {
      const std::string* v = value();
      if (v == nullptr) return std::nullopt;
      options.host = *v;
      hostGiven = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      const IntOption* match = nullptr;
      for (const IntOption& option : intOptions) {
        if (arg == option.longName || (!option.shortName.empty() && arg == option.shortName)) {
          match = &option;
        }
      }
      if (match == nullptr) {
        error = "unknown option " + arg;
        return std::nullopt;
      }
      const std::string* v = value();
      if (v == nullptr) return std::nullopt;
      int64_t number = 0;
      if (!ReadBoundedInt(*v, match->low, match->high, number)) {
        error = std::string(match->longName) + " takes a whole number from " +
                std::to_string(match->low) + " to " + std::to_string(match->high) + ", not \"" +
                *v + "\"";
        return std::nullopt;
      }
      match->set(number);
    } else {
      players.push_back(arg);
    }
  }
  if (s.boardSize != 15 && s.boardSize != 20) {
    error = "--size must be 15 or 20";
    return std::nullopt;
  }
  if (options.serve) {
    if (players.size() > 2) {
      error = "--serve takes at most two brains, " + std::to_string(players.size()) + " given";
      return std::nullopt;
    }
    for (const std::string& player : players) {
      if (player == "human") {
        error = "with --serve the person plays at the page: give only brains";
        return std::nullopt;
      }
    }
  } else if (portGiven || hostGiven) {
    error = "--port and --host go with --serve";
    return std::nullopt;
  } else if (players.size() != 2) {
    error = "two players are needed (brain commands or \"human\"), " +
            std::to_string(players.size()) + " given";
    return std::nullopt;
  }
  options.players = players;
  return options;
}

}  // namespace quorvex::match

#include "tools/match/options.h"

#include "tools/command_line/command_line.h"

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
  using command_line::WholeNumber;
  MatchOptions options;
  GameSettings& s = options.settings;
  command_line::CommandLine line;
  CLI::App& app = line.app();
  app.add_option("-g,--games", options.games)->check(WholeNumber(1, 100000));
  app.add_option("-s,--size", s.boardSize)->check(WholeNumber(15, 20));
  app.add_option("-t,--turn-ms", s.turnMs)->check(WholeNumber(MinTurnMs, MaxTurnMs));
  app.add_option("-m,--match-ms", s.matchMs)->check(WholeNumber(0, 1000000000));
  app.add_option("--tolerance-ms", s.toleranceMs)->check(WholeNumber(0, 600000));
  app.add_option("--max-memory", s.maxMemory)->check(WholeNumber(0, INT64_MAX));
  app.add_option("--start-ms", s.startMs)->check(WholeNumber(1, 600000));
  app.add_option("--delay-ms", options.delayMs)->check(WholeNumber(0, 60000));
  app.add_option("-o,--openings", options.openingsPath);
  app.add_option("--out", options.outDir);
  app.add_flag("--reuse", options.reuse);
  app.add_flag("-w,--watch", options.watch);
  app.add_flag("-q,--quiet", options.quiet);
  app.add_flag("--serve", options.serve);
  const CLI::Option* port = app.add_option("--port", options.port)->check(WholeNumber(0, 65535));
  const CLI::Option* host = app.add_option("--host", options.host);
  if (!line.Read(args, "unknown option ", error)) return std::nullopt;
  options.help = line.help();
  if (options.help) return options;

  const std::vector<std::string>& players = line.words();
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
  } else if (port->count() > 0 || host->count() > 0) {
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

#include "tools/book/options.h"

#include <set>
#include <string_view>

#include "tools/command_line/command_line.h"

namespace quorvex::book {

namespace {

const char* const kToolUsage = R"(usage: quorvex-book COMMAND ARGUMENTS

Makes, reads and trims the engine's experience file (Experience.bin), with
the engine's own store code: every row it writes is one the engine holds.

commands:
  stats FILE                    what the file holds, and its room under 8 MB
  dump FILE [--csv]             one line per record, every field
  learn OUT GAME... [--base F]  replay game records (PSQ, SGF) into a store
  train OUT --opponent CMD ...  play games against brains and keep the store
  trim IN OUT [--max-bytes N]   keep the rows a brain is likeliest to use
  merge OUT FILE...             join files trained on different openings

quorvex-book COMMAND --help tells more of each. Files are written whole or
not at all: a temporary file beside OUT, then a rename.

Files are read as a brain reads its Experience.bin: regular files only (a
pipe, a device or a directory is refused at once), in chunks. A brain reads
only the first 32 MiB of its file, and so does --base; stats, dump, trim,
merge and a train going on from its OUT read an experience file whole, up
to 128 MiB. A record no engine writes (a
point outside -8..30, a MoveNo outside 1..410) is read as a brain reads it,
and counted and shown by its offset; a file whose first 16 records (all, if
it holds fewer) are all of that kind is refused as not an experience file.
A game record may hold at most 4 MiB.

A brain deletes, at every game it learns from, the rows past stone 9 whose
Touch is below 71000. train and learn --touch 71000 make files whose rows
past stone 9 last, in the file and in every brain that loads it.

exit status: 0 done, 1 a file could not be read or written (or is
truncated), 2 bad arguments (merge: files of different kinds), 3 an
opponent could not be started; train stopped by Ctrl-C or SIGTERM ends by
that signal once OUT is written.
)";

const char* const kStatsUsage = R"(usage: quorvex-book stats FILE

Tells what an experience file holds: its records, how many of them a brain
loads (those of the first 32 MiB), the records no engine writes with their
offsets, the distinct positions (PrevCRC), the rows per MoveNo, the range of
Touch and the RunTouch a brain loading the file would stamp its rows with,
the totals of WINS and LOSSES, the bytes and the room left under Gomocup's
8 MB (8000000 bytes), and a trailing fragment if there is one (a brain
ignores it; stats then ends with exit status 1). The whole file is read, up
to 128 MiB.

Its kind: a brain deletes, at every game it learns from, the rows past
stone 9 whose Touch is below 71000. When the stamp a brain loading the file
takes is 71000 or more, "rows past stone 9 are kept by a brain loading this
file"; otherwise they are not. The rows of the file itself past stone 9
stamped below 71000 go in either case, and stats counts them.
)";

const char* const kDumpUsage = R"(usage: quorvex-book dump FILE [--csv]

One line per record, in file order, every field: the record's number (from
1), CRC, PrevCRC, X, Y, WINS, LOSSES, MoveNo and Touch; with --csv as comma-
separated values under a header line. The whole file is read, up to 128 MiB;
a warning tells how much of it a brain reads, and the records no engine
writes.
)";

const char* const kLearnUsage = R"(usage: quorvex-book learn OUT GAME... [--base FILE] [--touch N]

Replays finished games into an experience store and writes it to OUT.
GAME is a game record of at most 4 MiB: PSQ (Piskvork's, as quorvex-match
writes them) or SGF with GM[4]. The store starts empty, or from the
experience file FILE read as a brain reads it: its first 32 MiB only.

Each game is replayed through the engine's own code as a brain that played
the winner's stones would have met it:
  - every stone is recorded, with its position keys, as the brain's command
    loop records the stones it is given;
  - a game that ends in five is learned from once. Before each of the
    winner's stones the engine's outcome scan looks at the board from the
    winner's side; at the first of those turns at which it finds the game
    decided, the game is credited as the brain would credit it there (the
    stones so far gain a win for the side the scan says won, a loss for the
    other; then the table-wide rules run). In rare positions the scan reads
    the game as lost (the loser's open four ranks before the winner's own
    four) and a loss is learned, as the brain would learn it. A game whose
    decision the scan never sees is recorded but not learned;
  - draws and games that stop before a five: every stone recorded, nothing
    learned.
All games share one run stamp (Touch), as the games of one brain run do:
the highest Touch of FILE plus 1, as a brain loading FILE would stamp its
rows, or N with --touch N (see train --help).
A record that does not parse stops the command before anything is written;
a game with an illegal move, or on a board the engine does not play (sizes
11 to 20), is skipped with a warning.
)";

const char* const kTrainUsage = R"(usage: quorvex-book train OUT --opponent CMD [--opponent CMD]...
                          [options]

The engine plays games against the brains CMD and writes its store to OUT.
It plays in this process through the brain's own command loop, handed the
very lines a manager sends a brain, so it decides as pbrain-quorvex would,
and its store carries over from game to game as in one brain run. Each CMD
runs in its own directory, a fresh process each game, driven and refereed
as by quorvex-match (freestyle; a forfeit ends the game and is reported).

Games go in pairs, the engine black in the first of each pair and white in
the second. With P opponents and O openings (O = 1 without --openings),
pair k plays opening (k / P) mod O against opponent k mod P: every 2*O*P
games each opening is played with both colours against every opponent. An
opening reaches both sides as a tournament manager gives it: START, then
a BOARD listing of its stones in their order, then DONE to the side to
move, so the engine learns the positions under the keys a brain in the
tournament meets them.

A line follows each game; every --block games a line of the learning curve
gives the score of those games (win 1, draw 1/2) in all, per opponent and
per colour; at the end the score of the run in the same parts.

The run stamp (Touch): a brain stamps the rows it records and learns with
the highest Touch of its file plus 1, and at every game it learns from
deletes the rows past stone 9 stamped below 71000, its own game's included.
So without --touch the store keeps the first 9 stones of its games, as a
brain would. With --touch 71000 (or more) every row the run touches lasts,
whole games are kept, and a brain loading OUT stamps its own rows above
71000 and keeps them too. When the base already holds a stamp of N or
more, the run takes the base's stamp plus 1 instead, as a brain loading it
would: its rows stay newer than the base's (trim keeps the newest first).

Nothing learned is lost: --checkpoint-every K writes OUT after every K
games. Ctrl-C or SIGTERM abandons the game in play at once, an opponent
that is thinking included (its process is ended; the game is taken out of
the store again, nothing of it is counted), writes OUT with the games
finished and ends by that signal; a second Ctrl-C changes nothing. Every
write of OUT is whole or none: a temporary file, then a rename.

Going on: whenever OUT is written before the run's end (a checkpoint, a
stop, an opponent that could not be started) OUT.resume is written beside
it, and the same command run again goes on from there: at the next game of
the same schedule, with the same stamp, the engine's random generator as
it stood, and the curve and score so far. A run that is stopped and goes
on ends with the very store of one that ran through, as long as no move
of either side is cut short by the time (the engine and a seeded opponent
decide alike when they have the time to finish). A run killed outright
goes on from its last checkpoint. A run that ends removes OUT.resume; a
different command (other options or seed) is refused while it is there:
delete it to start afresh. The protocol log of a run that went on holds
the games played since. --base OUT instead starts a new run from OUT.

Shards: --shard K/N trains only the K-th of N shares of the openings.
Opening i of the file (from 0) goes to share i mod N + 1. The share plays
those of the run's --games N games that the schedule above deals to its
openings, in the same order: its OUT is, row for row, that of a run over
its openings alone (a file of just those lines) with the same seed and
options and --games the share's count. Each share is an ordinary command
with its own OUT, so any job runner can run them, on one machine or on
many (GNU parallel, a Slurm job array; see the README); merge then joins
their files. --jobs J runs the J shares of J at once on this machine, each
a process of this program writing OUT.shard-K-of-J (and its output in
OUT.shard-K-of-J.log, its protocol log in LOG.shard-K-of-J), shows each
one's curve and the run's games, games per hour and score as they come,
and joins their files into OUT at the end. Ctrl-C or SIGTERM reaches every
share: each writes its file and resume file, the files are joined into
OUT, and the same command goes on from there. --jobs takes no --base
(every share would start from its rows, and the join would count them once
per share); go on from a finished run by giving each share its own file,
train OUT.shard-K-of-N --shard K/N --base OUT.shard-K-of-N, then merge.

options:
  --opponent CMD        a brain to play, quoted if it has arguments; give it
                        again for each further brain
  --games N             games to play (default 1); with --shard or --jobs,
                        the games of the whole run, of which each share
                        plays its part
  --openings FILE       the openings, one a line, as moves ("h8 i9 g7",
                        "7,7 8,8 6,6") or as offsets from the centre
                        ("0,0, 1,1, -1,1"); see quorvex-match's README
  --base FILE           start from this experience file, read as a brain
                        reads it: its first 32 MiB (default: empty)
  --touch N             stamp the run's rows N, or the base's stamp plus 1
                        if that is higher (default: as a brain would)
  --checkpoint-every K  write OUT after every K games (default: at the end)
  --block N             games per line of the learning curve (default 20)
  --turn-ms MS          time for one move, sent as timeout_turn (default 5000)
  --size N              board size, 15 or 20 (default 20)
  --seed N              the engine's random seed (default: drawn, and shown)
  --protocol-log FILE   every line the engine was given in the games it
                        finished, each ending in CR LF: a brain started with
                        QUORVEX_SEED=N reading FILE plays the same games and
                        ends with the same store (with --touch, when its
                        file gives it the same stamp)
  --shard K/N           train the K-th of N shares of the openings only
  --jobs J              train the J shares of J at once, then join them
)";

const char* const kTrimUsage = R"(usage: quorvex-book trim IN OUT [--max-bytes N]

Keeps the rows of IN that a brain is likeliest to use, within N bytes
(default 8000000, Gomocup's 8 MB), and writes them to OUT (which may be IN).
IN is read whole, up to 128 MiB, beyond the first 32 MiB that a brain reads.

Rule: rows are dropped oldest Touch first and, among rows of one Touch,
highest MoveNo first: old games' deepest moves are the least likely to be
met again. Among rows alike in both, the later in the file go first. The
rows kept stay in their order.
)";

const char* const kMergeUsage = R"(usage: quorvex-book merge OUT FILE...

Joins experience files trained apart, on different openings (the shares
of train --shard, say), into OUT, which may be one of them. Each FILE is
read whole, up to 128 MiB.

Rule: rows are told apart by CRC, X and Y, the position after a move and
the move's point, as the engine's recording tells a move it holds.
  - A row that only one FILE holds is kept as it is.
  - The rows of a CRC, X and Y that several FILEs hold (the opening's own
    stones, and the first stone, which every game shares) become one row:
    their WINS and LOSSES are added up, then bounded by the rules with
    which learning bounds the table after every game, in their order: a
    row with more than 3000 wins and more than 1 loss falls back to 1 win,
    then WINS is cut to LOSSES + 3, then LOSSES to WINS + 3. It keeps the
    latest Touch of them, and the first one's PrevCRC and MoveNo.
  - Rows come in the order of the FILEs given, each FILE's in its order; a
    joined row stands where the first of its rows stood.

Why joined counts can differ from those of one long run over every
opening: each file recorded the row afresh and seeded it with 1 win and 1
loss (or with a threat search's verdict), so a row that k files hold
carries k seeds where one run seeds it once; one run bounds the counts
after every game, so they never drift more than 3 apart, while the sums
are bounded once, after they were added up; and the reset of a large
seeded win comes before the cap, so a sum of such seeds can fall back to 1
win where one run would have capped it at 3 above its losses.

Files of different kinds are refused, and nothing is written: one that a
brain loading it keeps rows past stone 9 from (its stamp 71000 or more)
with one it does not; a FILE without rows goes with either. The experience
format carries no board size, so files trained on different boards cannot
be told apart: join only files of one size. A FILE missing, truncated (not
a whole number of 28-byte records) or not an experience file is an error,
and nothing is written.
)";

struct CommandInfo {
  const char* usage;
  std::size_t minFiles;
  std::size_t maxFiles;  // SIZE_MAX: any number
  std::set<std::string_view> options;
  const char* files;  // what the words are, for the error
};

const CommandInfo* FindCommand(const std::string& command) {
  static const std::pair<std::string_view, CommandInfo> kCommands[] = {
      {"stats", {kStatsUsage, 1, 1, {}, "one FILE"}},
      {"dump", {kDumpUsage, 1, 1, {"--csv"}, "one FILE"}},
      {"learn", {kLearnUsage, 2, SIZE_MAX, {"--base", "--touch"}, "OUT and at least one GAME"}},
      {"train",
       {kTrainUsage,
        1,
        1,
        {"--opponent", "--games", "--openings", "--base", "--touch", "--checkpoint-every",
         "--block", "--turn-ms", "--size", "--seed", "--protocol-log", "--shard", "--jobs"},
        "one OUT"}},
      {"trim", {kTrimUsage, 2, 2, {"--max-bytes"}, "IN and OUT"}},
      {"merge", {kMergeUsage, 2, SIZE_MAX, {}, "OUT and at least one FILE"}},
  };
  for (const auto& [name, info] : kCommands) {
    if (name == command) return &info;
  }
  return nullptr;
}

// Every option of the tool, into `options`; each command then keeps those
// it takes.
void AddOptions(CLI::App& app, BookOptions& options) {
  using command_line::WholeNumber;
  app.add_flag("--csv", options.csv);
  app.add_option("--base", options.base);
  app.add_option("--openings", options.openings);
  app.add_option("--protocol-log", options.protocolLog);
  // One CMD each time, every one kept: the word after it is a file.
  app.add_option("--opponent", options.opponents)
      ->expected(1)
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--games", options.games)->check(WholeNumber(1, 100000));
  app.add_option("--turn-ms", options.turnMs)->check(WholeNumber(1, 3600000));
  app.add_option("--size", options.size)->check(WholeNumber(15, 20));
  app.add_option("--max-bytes", options.maxBytes)->check(WholeNumber(0, INT64_MAX));
  app.add_option("--checkpoint-every", options.checkpointEvery)->check(WholeNumber(1, 100000));
  app.add_option("--block", options.block)->check(WholeNumber(1, 100000));
  app.add_option("--jobs", options.jobs)->check(WholeNumber(1, MaxShards));
  app.add_option_function<int32_t>("--touch", [&](const int32_t& v) { options.touch = v; })
      ->check(WholeNumber(1, INT32_MAX));
  app.add_option_function<uint32_t>("--seed", [&](const uint32_t& v) { options.seed = v; })
      ->check(WholeNumber(0, UINT32_MAX));
  app.add_option_function<std::string>("--shard",
                                        [&](const std::string& v) { options.shard = ParseShard(v); })
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            if (ParseShard(text)) return {};
            return "takes K/N, the K-th of N shares, 1 <= K <= N <= " + std::to_string(MaxShards) +
                   ", not \"" + text + "\"";
          },
          ""));
}

}  // namespace

std::string UsageText(const std::string& command) {
  const CommandInfo* info = FindCommand(command);
  return info != nullptr ? info->usage : kToolUsage;
}

std::optional<BookOptions> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  BookOptions options;
  if (args.empty()) {
    error = "no command given";
    return std::nullopt;
  }
  if (args[0] == "-h" || args[0] == "--help") {
    options.help = true;
    return options;
  }
  options.command = args[0];
  const CommandInfo* info = FindCommand(options.command);
  if (info == nullptr) {
    error = "unknown command " + args[0];
    return std::nullopt;
  }

  command_line::CommandLine line;
  CLI::App& app = line.app();
  AddOptions(app, options);
  for (CLI::Option* option : app.get_options()) {
    const std::string name = option->get_name();
    if (name != "--help" && !info->options.contains(name)) app.remove_option(option);
  }
  if (!line.Read({args.begin() + 1, args.end()}, options.command + " takes no option ", error)) {
    return std::nullopt;
  }
  options.help = line.help();
  if (options.help) return options;
  options.files = line.words();
  if (options.size != 15 && options.size != 20) {
    error = "--size must be 15 or 20";
    return std::nullopt;
  }
  if (options.files.size() < info->minFiles || options.files.size() > info->maxFiles) {
    error = options.command + " needs " + info->files + ", " +
            std::to_string(options.files.size()) + " given";
    return std::nullopt;
  }
  if (options.command == "train" && options.opponents.empty()) {
    error = "train needs --opponent CMD";
    return std::nullopt;
  }
  if (options.shard && options.jobs > 0) {
    error = "--shard and --jobs do not go together: --jobs runs every shard itself";
    return std::nullopt;
  }
  return options;
}

}  // namespace quorvex::book

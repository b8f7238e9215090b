// quorvex-book train: the engine plays brains, its store carried over
// from game to game, then written (engine_player.h, training_schedule.h,
// learning_curve.h, signal_stop.h); a share of the openings alone with
// --shard (shard.h), every share at once with --jobs (train_jobs.h); an
// unfinished run goes on from where it stopped (resume_file.h).

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <sstream>

#include "platform/platform.h"
#include "tools/book/book_output.h"
#include "tools/book/commands.h"
#include "tools/book/engine_player.h"
#include "tools/book/experience_input.h"
#include "tools/book/game_undo.h"
#include "tools/book/learning_curve.h"
#include "tools/book/resume_file.h"
#include "tools/book/run_stamp.h"
#include "tools/book/shard.h"
#include "tools/book/signal_stop.h"
#include "tools/book/train_jobs.h"
#include "tools/book/training_schedule.h"
#include "tools/gomocup/brain_process/brain_player.h"
#include "tools/gomocup/referee/game_runner.h"
#include "tools/gomocup/referee/openings.h"
#include "tools/gomocup/referee/printable_text.h"

namespace quorvex::book {

namespace {

constexpr const char* kEngineName = "quorvex";

bool WriteProtocolLog(const std::vector<std::string>& lines, const std::string& path) {
  std::ofstream log(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) log << line << "\r\n";
  return static_cast<bool>(log.flush());
}

// The opponents' names for the tables, made distinct by their number when
// two programs share a name.
std::vector<std::string> OpponentNames(const std::vector<match::BrainCommand>& commands) {
  std::multiset<std::string> all;
  for (const auto& command : commands) all.insert(match::PrintableText(command.name));
  std::vector<std::string> names;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const std::string name = match::PrintableText(commands[i].name);
    names.push_back(all.count(name) > 1 ? name + "#" + std::to_string(i + 1) : name);
  }
  return names;
}

// What shapes the run's games and its curve, for its resume file; long
// texts go in as digests.
std::string RunIdentity(const BookOptions& options, const std::vector<match::Opening>& openings) {
  std::string points, opponents;
  for (const match::Opening& opening : openings) {
    for (const match::Point p : opening)
      points += std::to_string(p.x) + "," + std::to_string(p.y) + " ";
    points += ";";
  }
  for (const std::string& opponent : options.opponents) opponents += opponent + "\n";
  const Shard shard = options.shard.value_or(Shard{});
  return "games=" + std::to_string(options.games) + " shard=" + std::to_string(shard.index) + "/" +
         std::to_string(shard.count) + " openings=" + TextDigest(points) +
         " opponents=" + TextDigest(opponents) + " size=" + std::to_string(options.size) +
         " turn-ms=" + std::to_string(options.turnMs) +
         " touch=" + (options.touch ? std::to_string(*options.touch) : "brain") +
         " block=" + std::to_string(options.block) +
         " base=" + (options.base.empty() ? "none" : TextDigest(options.base));
}

// The run's games: the openings it plays, with their numbers in the file,
// and how many games it plays of them.
struct Games {
  std::vector<match::Opening> openings;
  std::vector<int32_t> numbers;
  int32_t count = 0;
};

std::optional<Games> DealGames(const BookOptions& options, std::vector<match::Opening> all,
                               int32_t opponents, std::string& error) {
  const int32_t total = static_cast<int32_t>(all.size());
  const Shard shard = options.shard.value_or(Shard{});
  Games games;
  games.numbers = ShardOpenings(total, shard);
  if (games.numbers.empty()) {
    error = "--shard " + std::to_string(shard.index) + "/" + std::to_string(shard.count) +
            ": the run has " + std::to_string(total) + (total == 1 ? " opening" : " openings") +
            ", so share " + std::to_string(shard.index) + " holds none";
    return std::nullopt;
  }
  for (const int32_t number : games.numbers) {
    games.openings.push_back(std::move(all[static_cast<std::size_t>(number)]));
  }
  games.count = ShardGames(options.games, opponents, total, shard);
  return games;
}

// Where the run starts: its engine, its first game and its seed.
struct Start {
  std::unique_ptr<Engine> engine;
  int32_t firstGame = 0;
  uint32_t seed = 0;
  std::optional<ResumePoint> resume;
};

// From OUT and its resume file when the same run left them unfinished;
// else from the base, stamped as asked.
std::optional<Start> StartRun(const BookOptions& options, const std::string& identity,
                              std::ostream& out, std::ostream& err, std::string& error) {
  const std::string& outPath = options.files[0];
  Start start;
  start.resume = ReadResumePoint(ResumePath(outPath), error);
  if (!error.empty()) return std::nullopt;
  if (!start.resume) {
    start.seed = options.seed ? *options.seed : ProcessSeed();
    start.engine = StartEngineFrom(options.base, start.seed, err, error);
    if (!start.engine) return std::nullopt;
    if (options.touch) out << ApplyRunStamp(*start.engine, options.touch) << "\n";
    return start;
  }
  const ResumePoint& point = *start.resume;
  const std::string refuse = ResumePath(outPath) + " was left by another run: ";
  const std::string afresh = "; delete it to start afresh";
  if (const std::string difference = RunDifference(identity, point.run); !difference.empty()) {
    error = refuse + difference + afresh;
    return std::nullopt;
  }
  if (options.seed && *options.seed != point.seed) {
    error = refuse + "seed (" + std::to_string(*options.seed) + " here, " +
            std::to_string(point.seed) + " in the file)" + afresh;
    return std::nullopt;
  }
  std::optional<LoadedBook> book =
      LoadBook(outPath, ReadScope::WholeFile, point.seed, false, error);
  if (!book) return std::nullopt;
  int64_t rows = 0;
  if (StoreDigest(*book->engine, rows) != point.storeDigest || rows != point.storeRows) {
    error = outPath + " is not the store " + ResumePath(outPath) + " was written with (" +
            std::to_string(rows) + " rows, " + std::to_string(point.storeRows) + " expected)" +
            afresh;
    return std::nullopt;
  }
  std::istringstream rng(point.rng);
  std::mt19937 drawn;
  if (!(rng >> drawn)) {
    error = ResumePath(outPath) + ": its random generator cannot be read" + afresh;
    return std::nullopt;
  }
  book->engine->RestoreRng(drawn);
  book->engine->store().SetRunTouch(point.stamp);
  start.engine = std::move(book->engine);
  start.firstGame = point.gamesDone;
  start.seed = point.seed;
  out << "going on from " << ResumePath(outPath) << ": " << point.gamesDone
      << " games finished, run stamp " << point.stamp << "\n";
  return start;
}

// OUT, then the resume file that goes with it; false, told on `err`, when
// either cannot be written.
bool WriteCheckpoint(Engine& engine, const std::string& outPath, ResumePoint point,
                     std::ostream& out, std::ostream& err) {
  if (!WriteBook(engine, outPath, out, err)) return false;
  point.storeDigest = StoreDigest(engine, point.storeRows);
  point.stamp = engine.store().RunTouch();
  std::ostringstream rng;
  rng << engine.Rng();
  point.rng = rng.str();
  std::string error;
  if (WriteResumePoint(ResumePath(outPath), point, error)) return true;
  err << "quorvex-book: " << error << "\n";
  return false;
}

}  // namespace

int RunTrain(const BookOptions& options, std::ostream& out, std::ostream& err) {
  // Output nobody reads any more (a --jobs run or a pager gone) must not
  // end the run before it has written its file.
  signal(SIGPIPE, SIG_IGN);
  if (options.jobs > 0) return RunTrainJobs(options, out, err);
  const std::string& outPath = options.files[0];
  std::string error;
  // 1. Everything that can be wrong before a game is played.
  std::vector<match::BrainCommand> commands;
  for (const std::string& opponent : options.opponents) {
    std::optional<match::BrainCommand> command = match::ResolveBrainCommand(opponent, error);
    if (!command) {
      err << "quorvex-book: " << error << "\n";
      return ExitOpponentFault;
    }
    commands.push_back(std::move(*command));
  }
  std::vector<match::Opening> allOpenings{match::Opening{}};
  if (!options.openings.empty()) {
    auto loaded = match::LoadOpenings(options.openings, options.size, error);
    if (!loaded) {
      err << "quorvex-book: " << error << "\n";
      return ExitFileFault;
    }
    allOpenings = std::move(*loaded);
  }
  const std::string identity = RunIdentity(options, allOpenings);
  const int32_t opponentCount = static_cast<int32_t>(commands.size());
  const std::optional<Games> games = DealGames(options, allOpenings, opponentCount, error);
  if (!games) {
    err << "quorvex-book: " << error << "\n";
    return ExitBadArguments;
  }
  if (!CheckWritable(outPath, error) ||
      (!options.protocolLog.empty() && !CheckWritable(options.protocolLog, error))) {
    err << "quorvex-book: " << error << "\n";
    return ExitFileFault;
  }
  std::optional<Start> start = StartRun(options, identity, out, err, error);
  if (!start) {
    err << "quorvex-book: " << error << "\n";
    return ExitFileFault;
  }
  Engine& engine = *start->engine;
  if (options.shard) {
    out << "shard " << options.shard->index << "/" << options.shard->count << ": "
        << games->openings.size() << " of " << allOpenings.size() << " openings, " << games->count
        << " of the run's " << options.games << " games\n";
  }
  out << "engine seed " << start->seed << ", store " << StoreRowCount(engine) << " rows\n"
      << std::flush;
  const SignalStop signals(
      "quorvex-book: stopping: the game in play is abandoned, then the store is written\n",
      "the run was stopped");

  // 2. The games, as the schedule deals them.
  EnginePlayer player(engine, kEngineName, &signals.Switch());
  std::vector<std::unique_ptr<match::BrainPlayer>> brains;
  for (const match::BrainCommand& command : commands) {
    brains.push_back(
        std::make_unique<match::BrainPlayer>(command, true, match::TextSink{}, &signals.Switch()));
  }
  const std::vector<std::string> names = OpponentNames(commands);
  LearningCurve curve(names, options.block);
  ResumePoint resume{identity, start->seed, start->firstGame, 0, 0, 0, {}, {}, {}};
  if (start->resume && !curve.Restore(start->resume->curve)) {
    err << "quorvex-book: " << ResumePath(outPath) << ": its curve does not fit the run\n";
    return ExitFileFault;
  }
  if (start->resume) resume.tally = start->resume->tally;
  match::Tally& tally = resume.tally;
  GameUndo undo(engine.store().Db());
  match::GameSettings settings;
  settings.boardSize = options.size;
  settings.turnMs = options.turnMs;
  std::string abort;
  std::size_t linesLogged = 0;  // the lines of the games finished
  int32_t played = 0;           // by this process
  int32_t game = start->firstGame;
  for (; game < games->count && !signals.Switch().IsSet(); ++game) {
    const GameSlot slot =
        ScheduleGame(game, opponentCount, static_cast<int32_t>(games->openings.size()));
    const match::Opening& opening = games->openings[static_cast<std::size_t>(slot.opening)];
    match::BrainPlayer& opponent = *brains[static_cast<std::size_t>(slot.opponent)];
    const std::mt19937 rngBefore = engine.Rng();
    undo.Begin();
    const match::GameRecord record = slot.engineBlack
                                         ? match::PlayGame(player, opponent, opening, settings, {})
                                         : match::PlayGame(opponent, player, opening, settings, {});
    std::string title = "game " + std::to_string(game + 1) + "/" + std::to_string(games->count);
    if (!options.openings.empty()) {
      title +=
          ", opening " + std::to_string(games->numbers[static_cast<std::size_t>(slot.opening)] + 1);
    }
    if (brains.size() > 1) title += ", " + names[static_cast<std::size_t>(slot.opponent)];
    title += ": ";
    const bool stopped = record.ending == match::Ending::Stopped ||
                         (record.ending == match::Ending::Aborted && signals.Switch().IsSet());
    if (stopped || record.ending == match::Ending::Aborted) {
      // Nothing of a game cut short stays: the store and the random draws
      // are as the last finished game left them, and it is not counted.
      if (!undo.Undo()) err << "quorvex-book: warning: the game in play could not be taken out\n";
      engine.RestoreRng(rngBefore);
      if (stopped) {
        out << title << "abandoned, the run was stopped\n" << std::flush;
      } else {
        abort = title + "could not be played: " + record.reason;
      }
      break;
    }
    ++played;
    linesLogged = player.LinesGiven().size();
    if (record.ending == match::Ending::Forfeit) ++tally.forfeits;
    const match::Stone engineColour = slot.engineBlack ? match::Stone::Black : match::Stone::White;
    int32_t halfPoints = 1;
    if (record.winner == match::Stone::Empty) {
      ++tally.draws;
    } else {
      const bool won = record.winner == engineColour;
      ++(won ? tally.wins : tally.losses);
      halfPoints = won ? 2 : 0;
    }
    out << title << match::DescribeEnding(record) << ", " << record.board.moves().size()
        << " stones; store " << StoreRowCount(engine) << " rows\n"
        << curve.Count(slot.opponent, slot.engineBlack, halfPoints) << std::flush;
    if (options.checkpointEvery > 0 && (game + 1) % options.checkpointEvery == 0 &&
        game + 1 < games->count) {
      out << "checkpoint: ";
      resume.gamesDone = game + 1;
      resume.curve = curve.Save();
      if (!WriteCheckpoint(engine, outPath, resume, out, err)) {
        out << "the checkpoint failed; training goes on\n";
      }
    }
  }
  player.Finish();
  for (const auto& brain : brains) brain->Finish();

  // 3. The score, the log and the store: with its resume file while the
  //    run is unfinished, without once it is done.
  if (tally.games() > 0) {
    out << "\n"
        << curve.Summary() << "\n"
        << match::FormatResults(
               tally, kEngineName,
               names.size() == 1 ? names[0] : std::to_string(names.size()) + " opponents");
  }
  bool written = true;
  if (!options.protocolLog.empty()) {
    const std::vector<std::string>& given = player.LinesGiven();
    std::vector<std::string> lines(given.begin(),
                                   given.begin() + static_cast<std::ptrdiff_t>(linesLogged));
    lines.push_back("END");
    if (!WriteProtocolLog(lines, options.protocolLog)) {
      err << "quorvex-book: " << options.protocolLog << ": cannot be written\n";
      written = false;
    }
  }
  if (!abort.empty()) err << "quorvex-book: " << abort << "\n";
  const bool stoppedRun = signals.Switch().IsSet();
  const int failure = abort.empty() ? ExitDone : ExitOpponentFault;
  if (played == 0 && !abort.empty()) return failure;  // nothing new to write
  if (game == games->count && abort.empty()) {
    written = WriteBook(engine, outPath, out, err) && written;
    std::error_code ignored;
    if (written) std::filesystem::remove(ResumePath(outPath), ignored);
  } else {
    resume.gamesDone = game;
    resume.curve = curve.Save();
    written = WriteCheckpoint(engine, outPath, resume, out, err) && written;
    out << "the run is unfinished (" << game << " of " << games->count
        << " games): the same command goes on from " << ResumePath(outPath) << "\n";
  }
  if (!written) return ExitFileFault;
  return stoppedRun ? ExitStopped : failure;
}

}  // namespace quorvex::book

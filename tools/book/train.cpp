// quorvex-book train: the engine plays brains, its store carried over
// from game to game, then written (engine_player.h, training_schedule.h,
// learning_curve.h, stop_signal.h).

#include <fstream>
#include <memory>
#include <set>

#include "book/statement.h"
#include "platform/platform.h"
#include "tools/book/book_output.h"
#include "tools/book/commands.h"
#include "tools/book/engine_player.h"
#include "tools/book/experience_input.h"
#include "tools/book/learning_curve.h"
#include "tools/book/run_stamp.h"
#include "tools/book/stop_signal.h"
#include "tools/book/stoppable_player.h"
#include "tools/book/training_schedule.h"
#include "tools/match/brain_player.h"
#include "tools/match/game_runner.h"
#include "tools/match/openings.h"
#include "tools/match/printable_text.h"
#include "tools/match/results.h"

namespace quorvex::book {

namespace {

constexpr const char* kEngineName = "quorvex";

bool WriteProtocolLog(const std::vector<std::string>& lines, const std::string& path) {
  std::ofstream log(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) log << line << "\r\n";
  return static_cast<bool>(log.flush());
}

// The newest row's rowid: rows recorded later have higher ones, as long as
// no learning step deletes rows in between.
int64_t LastRowId(Engine& engine) {
  Statement last(engine.store().Db(), "select max(rowid) from Openings");
  return last.Step() ? last.Int64(0) : 0;
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

}  // namespace

int RunTrain(const BookOptions& options, std::ostream& out, std::ostream& err) {
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
  std::vector<match::Opening> openings{match::Opening{}};
  if (!options.openings.empty()) {
    auto loaded = match::LoadOpenings(options.openings, options.size, error);
    if (!loaded) {
      err << "quorvex-book: " << error << "\n";
      return ExitFileFault;
    }
    openings = std::move(*loaded);
  }
  if (!CheckWritable(outPath, error) ||
      (!options.protocolLog.empty() && !CheckWritable(options.protocolLog, error))) {
    err << "quorvex-book: " << error << "\n";
    return ExitFileFault;
  }
  const uint32_t seed = options.seed ? *options.seed : ProcessSeed();
  const std::unique_ptr<Engine> engine = StartEngineFrom(options.base, seed, err, error);
  if (!engine) {
    err << "quorvex-book: " << error << "\n";
    return ExitFileFault;
  }
  if (options.touch) out << ApplyRunStamp(*engine, options.touch) << "\n";
  out << "engine seed " << seed << ", store " << StoreRowCount(*engine) << " rows\n" << std::flush;
  WatchStopSignals(
      "quorvex-book: stopping: the game in play is abandoned, then the store is written\n");

  // 2. The games, as the schedule deals them.
  EnginePlayer player(*engine, kEngineName);
  StoppablePlayer engineSide(player, [] { return StopSignal() != 0; });
  std::vector<std::unique_ptr<match::BrainPlayer>> brains;
  for (const match::BrainCommand& command : commands) {
    brains.push_back(std::make_unique<match::BrainPlayer>(command, true, match::TextSink{}));
  }
  const std::vector<std::string> names = OpponentNames(commands);
  LearningCurve curve(names, options.block);
  match::GameSettings settings;
  settings.boardSize = options.size;
  settings.turnMs = options.turnMs;
  match::Tally tally;
  std::string abort;
  std::size_t linesLogged = 0;  // the lines of the games finished
  for (int32_t game = 0; game < options.games && StopSignal() == 0; ++game) {
    const GameSlot slot = ScheduleGame(game, static_cast<int32_t>(brains.size()),
                                       static_cast<int32_t>(openings.size()));
    const match::Opening& opening = openings[static_cast<std::size_t>(slot.opening)];
    StoppablePlayer opponent(*brains[static_cast<std::size_t>(slot.opponent)],
                             [] { return StopSignal() != 0; });
    const int64_t lastRow = LastRowId(*engine);
    const match::GameRecord record =
        slot.engineBlack ? match::PlayGame(engineSide, opponent, opening, settings, {})
                         : match::PlayGame(opponent, engineSide, opening, settings, {});
    std::string title = "game " + std::to_string(game + 1) + "/" + std::to_string(options.games);
    if (!options.openings.empty()) title += ", opening " + std::to_string(slot.opening + 1);
    if (brains.size() > 1) title += ", " + names[static_cast<std::size_t>(slot.opponent)];
    title += ": ";
    if (engineSide.gaveUp() || opponent.gaveUp()) {
      // Nothing of a game cut short stays: its rows go, it is not counted.
      engine->store().Db().Execute("delete from Openings where rowid > " + std::to_string(lastRow));
      out << title << "abandoned, the run was stopped\n" << std::flush;
      break;
    }
    if (record.ending == match::Ending::Aborted) {
      abort = title + "could not be played: " + record.reason;
      break;
    }
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
        << " stones; store " << StoreRowCount(*engine) << " rows\n"
        << curve.Count(slot.opponent, slot.engineBlack, halfPoints) << std::flush;
    if (options.checkpointEvery > 0 && tally.games() % options.checkpointEvery == 0 &&
        game + 1 < options.games) {
      out << "checkpoint: ";
      if (!WriteBook(*engine, outPath, out, err)) out << "the checkpoint failed; training goes on\n";
    }
  }
  player.Finish();
  for (const auto& brain : brains) brain->Finish();

  // 3. The score, the log and the store.
  if (tally.games() > 0) {
    out << "\n"
        << curve.Summary() << "\n"
        << match::FormatResults(tally, kEngineName,
                                names.size() == 1 ? names[0]
                                                  : std::to_string(names.size()) + " opponents");
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
  if (tally.games() == 0 && StopSignal() == 0) return abort.empty() ? ExitDone : ExitOpponentFault;
  written = WriteBook(*engine, outPath, out, err) && written;
  if (!written) return ExitFileFault;
  if (StopSignal() != 0) return ExitStopped;
  return abort.empty() ? ExitDone : ExitOpponentFault;
}

}  // namespace quorvex::book

// quorvex-book train: the engine plays a brain, its store carried over
// from game to game, then written (engine_player.h).

#include <fstream>

#include "platform/platform.h"
#include "tools/book/book_output.h"
#include "tools/book/commands.h"
#include "tools/book/engine_player.h"
#include "tools/book/experience_input.h"
#include "tools/match/brain_player.h"
#include "tools/match/game_runner.h"
#include "tools/match/results.h"

namespace quorvex::book {

namespace {

constexpr const char* kEngineName = "quorvex";

bool WriteProtocolLog(const std::vector<std::string>& lines, const std::string& path) {
  std::ofstream log(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) log << line << "\r\n";
  return static_cast<bool>(log.flush());
}

}  // namespace

int RunTrain(const BookOptions& options, std::ostream& out, std::ostream& err) {
  const std::string& outPath = options.files[0];
  std::string error;
  // 1. Everything that can be wrong before a game is played.
  const std::optional<match::BrainCommand> command =
      match::ResolveBrainCommand(options.opponent, error);
  if (!command) {
    err << "quorvex-book: " << error << "\n";
    return ExitOpponentFault;
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
  out << "engine seed " << seed << ", store " << StoreRowCount(*engine) << " rows\n" << std::flush;

  // 2. The games, colours alternating, the engine black in odd games.
  EnginePlayer player(*engine, kEngineName);
  match::BrainPlayer opponent(*command, true, {});
  match::GameSettings settings;
  settings.boardSize = options.size;
  settings.turnMs = options.turnMs;
  match::Tally tally;
  std::string abort;
  for (int32_t game = 0; game < options.games; ++game) {
    const bool engineBlack = game % 2 == 0;
    const match::GameRecord record =
        engineBlack ? match::PlayGame(player, opponent, {}, settings, {})
                    : match::PlayGame(opponent, player, {}, settings, {});
    const std::string title = "game " + std::to_string(game + 1) + "/" +
                              std::to_string(options.games) + ": ";
    if (record.ending == match::Ending::Aborted) {
      abort = title + "could not be played: " + record.reason;
      break;
    }
    if (record.ending == match::Ending::Forfeit) ++tally.forfeits;
    const match::Stone engineColour = engineBlack ? match::Stone::Black : match::Stone::White;
    if (record.winner == match::Stone::Empty) {
      ++tally.draws;
    } else {
      ++(record.winner == engineColour ? tally.wins : tally.losses);
    }
    out << title << match::DescribeEnding(record) << ", " << record.board.moves().size()
        << " stones; store " << StoreRowCount(*engine) << " rows\n"
        << std::flush;
  }
  player.Finish();
  opponent.Finish();

  // 3. The score, the log and the store.
  if (tally.games() > 0) out << "\n" << match::FormatResults(tally, kEngineName, command->name);
  bool written = true;
  if (!options.protocolLog.empty() && !WriteProtocolLog(player.LinesGiven(), options.protocolLog)) {
    err << "quorvex-book: " << options.protocolLog << ": cannot be written\n";
    written = false;
  }
  if (!abort.empty()) err << "quorvex-book: " << abort << "\n";
  if (tally.games() == 0) return abort.empty() ? ExitDone : ExitOpponentFault;
  written = WriteBook(*engine, outPath, out, err) && written;
  if (!abort.empty()) return ExitOpponentFault;
  return written ? ExitDone : ExitFileFault;
}

}  // namespace quorvex::book

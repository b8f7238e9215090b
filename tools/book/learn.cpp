// quorvex-book learn: finished games replayed into a store (game_replay.h).

#include <vector>

#include "tools/book/book_output.h"
#include "tools/book/commands.h"
#include "tools/book/experience_input.h"
#include "tools/book/game_replay.h"
#include "tools/book/input_file.h"
#include "tools/book/run_stamp.h"

namespace quorvex::book {

namespace {

std::string Describe(const match::RecordedGame& game, const ReplayResult& result) {
  std::string text = std::to_string(game.moves.size()) + " stones, ";
  if (!result.decided) return text + "no five: recorded, nothing learned";
  text += std::string(match::ColourName(game.moves.back().colour)) + " made five: ";
  if (!result.learned) return text + "the scan never saw it decided, recorded only";
  return text + "learned as a " + (result.learnedWin ? "win" : "loss") +
         " of the winner's side before stone " + std::to_string(result.learnedAtStone);
}

}  // namespace

int RunLearn(const BookOptions& options, std::ostream& out, std::ostream& err) {
  const std::string& outPath = options.files[0];
  const std::vector<std::string> paths(options.files.begin() + 1, options.files.end());
  std::string error;
  if (!CheckWritable(outPath, error)) {
    err << "quorvex-book: " << error << "\n";
    return ExitFileFault;
  }
  // 1. Every record parses, or nothing is done.
  std::vector<match::RecordedGame> games;
  for (const std::string& path : paths) {
    const std::optional<std::string> text = ReadSmallFile(path, MaxGameRecordBytes, error);
    std::optional<match::RecordedGame> game;
    if (text && !(game = match::ParseGameRecord(*text, error))) error = path + ": " + error;
    if (!game) {
      err << "quorvex-book: " << error << "\n";
      return ExitFileFault;
    }
    games.push_back(std::move(*game));
  }
  // 2. The store to learn into. The seed serves nothing here: the replay
  //    draws no move.
  const std::unique_ptr<Engine> engine = StartEngineFrom(options.base, 0, err, error);
  if (!engine) {
    err << "quorvex-book: " << error << "\n";
    return ExitFileFault;
  }
  if (options.touch) out << ApplyRunStamp(*engine, options.touch) << "\n";
  // 3. Each legal game on a board the engine plays, in the order given.
  int32_t replayed = 0, learned = 0, skipped = 0;
  for (std::size_t i = 0; i < games.size(); ++i) {
    const match::RecordedGame& game = games[i];
    if (!game.illegal.empty()) {
      err << "quorvex-book: warning: " << paths[i] << ": skipped, illegal: " << game.illegal << "\n";
      ++skipped;
      continue;
    }
    const ReplayResult result = ReplayGame(*engine, game);
    if (!result.played) {
      err << "quorvex-book: warning: " << paths[i] << ": skipped, the engine does not play a "
          << game.size << "x" << game.size << " board (11 to 20)\n";
      ++skipped;
      continue;
    }
    ++replayed;
    learned += result.learned ? 1 : 0;
    out << paths[i] << ": " << Describe(game, result) << "\n";
  }
  out << replayed << " games replayed, " << learned << " learned from, " << skipped
      << " skipped\n";
  // 4. The store, whole.
  return WriteBook(*engine, outPath, out, err) ? ExitDone : ExitFileFault;
}

}  // namespace quorvex::book

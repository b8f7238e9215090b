#include "tools/match/match_runner.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "tools/gomocup/records/psq_writer.h"
#include "tools/gomocup/referee/coordinates.h"
#include "tools/match/svg_board.h"
#include "tools/match/text_board.h"

namespace quorvex::match {

namespace {

std::string GameFileStem(const std::string& dir, int32_t game) {
  char name[32];
  std::snprintf(name, sizeof name, "/game-%03d", static_cast<int>(game + 1));
  return dir + name;
}

void CountGame(const GameRecord& record, bool firstHasBlack, Tally& tally) {
  if (record.ending == Ending::Forfeit) ++tally.forfeits;
  if (record.winner == Stone::Empty) {
    ++tally.draws;
    return;
  }
  const bool firstWon = (record.winner == Stone::Black) == firstHasBlack;
  ++(firstWon ? tally.wins : tally.losses);
}

}  // namespace

MatchReport RunMatch(Player& first, Player& second, const MatchPlan& plan, std::ostream& log) {
  MatchReport report;
  std::string endings;  // one line per game played
  const auto stopped = [&] { return plan.stop != nullptr && plan.stop->IsSet(); };
  for (int32_t game = 0; game < plan.games; ++game) {
    if (stopped()) {
      report.stopReason =
          "stopped before game " + std::to_string(game + 1) + ": " + plan.stop->reason();
      log << report.stopReason << "\n";
      break;
    }
    // 1. Colours and opening of this game.
    const bool firstHasBlack = game % 2 == 0;
    Player& black = firstHasBlack ? first : second;
    Player& white = firstHasBlack ? second : first;
    static const Opening kNoOpening;
    const Opening& opening =
        plan.openings.empty() ? kNoOpening
                              : plan.openings[static_cast<size_t>(game / 2) % plan.openings.size()];
    // Players go by their number too: both may run the same program.
    const char* blackNo = firstHasBlack ? "1: " : "2: ";
    const char* whiteNo = firstHasBlack ? "2: " : "1: ";
    const std::string title = "game " + std::to_string(game + 1) + "/" +
                              std::to_string(plan.games) + ": black " + blackNo + black.name() +
                              ", white " + whiteNo + white.name();
    // On a terminal each board replaces the last (ANSI: cursor home, clear
    // screen), under the endings of the games before it.
    const std::string top = plan.redraw ? "\033[H\033[2J" + endings + title + "\n" : std::string();
    if (!plan.quiet) log << (plan.redraw && plan.watch ? top : title + "\n") << std::flush;
    if (plan.watch && opening.empty()) log << RenderTextBoard(GameBoard(plan.settings.boardSize));
    if (plan.observer.gameStarts) plan.observer.gameStarts(game, black.name(), white.name());

    // 2. The game, drawn as it goes when watched.
    const MoveObserver observer = [&](const GameBoard& board, const PlayedMove& move,
                                      const std::string& mover) {
      if (plan.observer.move) plan.observer.move(board, move, mover);
      if (!plan.watch) return;
      log << top << "\n"
          << FormatMoveLine(board, move, mover) << "\n"
          << RenderTextBoard(board) << std::flush;
      if (plan.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(plan.delayMs));
    };
    const TakeBackObserver tookBack = [&](const GameBoard& board,
                                          const std::vector<PlayedMove>& removed) {
      if (plan.observer.tookBack) plan.observer.tookBack(board, removed);
      if (plan.quiet) return;
      log << "taken back:";
      for (size_t i = 0; i < removed.size(); ++i) {
        log << (i == 0 ? " " : ", ") << "move " << board.moves().size() + i + 1 << " "
            << ColourName(removed[i].colour) << " " << DescribePoint(removed[i].point);
      }
      log << "\n";
      if (plan.watch) log << RenderTextBoard(board) << std::flush;
    };
    GameRecord record = PlayGame(black, white, opening, plan.settings, observer, tookBack);
    if (record.ending == Ending::Aborted && stopped()) {
      report.stopReason =
          "stopped as game " + std::to_string(game + 1) + " started: " + plan.stop->reason();
      log << report.stopReason << "\n";
      break;
    }
    if (record.ending == Ending::Aborted) {
      report.abortReason =
          "game " + std::to_string(game + 1) + " could not be played: " + record.reason;
      log << report.abortReason << "\n";
      break;
    }

    // 3. Score and files; a stopped game is no result.
    const bool finished = record.ending != Ending::Stopped;
    if (finished) CountGame(record, firstHasBlack, report.tally);
    const std::string ending = DescribeEnding(record);
    const std::string endLine = "game " + std::to_string(game + 1) + " ends after " +
                                std::to_string(record.board.moves().size()) + " stones: " + ending;
    if (!plan.quiet) log << endLine << "\n";
    endings += endLine + "\n";
    if (!plan.outDir.empty()) {
      const std::string stem = GameFileStem(plan.outDir, game);
      const bool psq = WritePsq(record, stem + ".psq");
      std::FILE* svg = std::fopen((stem + ".svg").c_str(), "wb");
      bool svgOk = svg != nullptr;
      if (svg != nullptr) {
        const std::string picture = RenderSvgBoard(record.board, title + "\n" + ending);
        svgOk = std::fwrite(picture.data(), 1, picture.size(), svg) == picture.size();
        svgOk = std::fclose(svg) == 0 && svgOk;
      }
      if (!psq || !svgOk) {
        log << "warning: could not write " << stem << ".psq / .svg\n";
      } else if (!plan.quiet) {
        log << "  record " << stem << ".psq, picture " << stem << ".svg\n";
      }
    }
    if (plan.observer.gameEnds) plan.observer.gameEnds(game, record, report.tally);
    if (!finished) {
      report.stopReason =
          "game " + std::to_string(game + 1) + " was stopped and is not scored: " + record.reason;
      break;
    }
    report.games.push_back(std::move(record));
  }
  first.Finish();
  second.Finish();
  log << "\n" << FormatResults(report.tally, first.name(), second.name()) << std::flush;
  return report;
}

std::string FormatMoveLine(const GameBoard& board, const PlayedMove& move,
                           const std::string& mover) {
  std::string line = "move " + std::to_string(board.moves().size()) + ": " +
                     ColourName(move.colour) + " (" + mover + ") " + DescribePoint(move.point);
  if (mover != "opening") line += ", " + std::to_string(move.ms) + " ms";
  return line;
}

int ExitCodeOf(const MatchReport& report) {
  if (!report.abortReason.empty()) return 3;
  return report.tally.forfeits > 0 ? 1 : 0;
}

}  // namespace quorvex::match

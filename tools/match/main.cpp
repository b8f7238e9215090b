// quorvex-match: plays, shows and referees games between Gomocup brains, or
// between a brain and a person at the terminal or, with --serve, in the
// browser.

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "tools/gomocup/brain_process/brain_player.h"
#include "tools/match/human_player.h"
#include "tools/match/match_runner.h"
#include "tools/match/options.h"
#include "tools/match/serve/web_server.h"

namespace {

using namespace quorvex::match;

constexpr int kBadArguments = 2;
constexpr int kCannotStart = 3;

int Fail(int code, const std::string& message) {
  std::cerr << "quorvex-match: " << message << "\n";
  if (code == kBadArguments) std::cerr << "try quorvex-match --help\n";
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) return Fail(kBadArguments, error);
  if (options->help) {
    std::cout << UsageText();
    return 0;
  }
  if (options->serve) return serve::RunWebServer(*options);

  MatchPlan plan;
  plan.games = options->games;
  plan.settings = options->settings;
  plan.watch = options->watch;
  plan.delayMs = options->delayMs;
  plan.quiet = options->quiet;
  plan.outDir = options->outDir;
  if (!options->openingsPath.empty()) {
    const auto openings = LoadOpenings(options->openingsPath, plan.settings.boardSize, error);
    if (!openings) return Fail(kBadArguments, error);
    plan.openings = *openings;
  }
  if (!plan.outDir.empty()) {
    std::error_code failure;
    std::filesystem::create_directories(plan.outDir, failure);
    if (failure)
      return Fail(kBadArguments, "cannot create " + plan.outDir + ": " + failure.message());
  }

  const TextSink showText = [quiet = options->quiet](const std::string& who,
                                                     const std::string& line) {
    if (!quiet) std::cout << "  " << who << ": " << line << "\n";
  };
  std::unique_ptr<Player> players[2];
  for (int i = 0; i < 2; ++i) {
    if (options->players[i] == "human") {
      players[i] = std::make_unique<HumanPlayer>(std::cin, std::cout, plan.settings.boardSize);
      plan.watch = true;  // a person needs to see the board to move
      continue;
    }
    const auto command = ResolveBrainCommand(options->players[i], error);
    if (!command) return Fail(kCannotStart, error);
    players[i] = std::make_unique<BrainPlayer>(*command, !options->reuse, showText);
  }

  plan.redraw = plan.watch && isatty(STDOUT_FILENO) == 1;
  const MatchReport report = RunMatch(*players[0], *players[1], plan, std::cout);
  if (!report.abortReason.empty()) std::cerr << "quorvex-match: " << report.abortReason << "\n";
  return ExitCodeOf(report);
}

// quorvex-book: makes, reads and trims the engine's experience file with
// the engine's own store code (commands.h, options.h).

#include <iostream>
#include <string>
#include <vector>

#include "tools/book/commands.h"
#include "tools/book/options.h"
#include "tools/book/signal_stop.h"

int main(int argc, char** argv) {
  using namespace quorvex::book;
  std::string error;
  const auto options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << "quorvex-book: " << error << "\ntry quorvex-book --help\n";
    return ExitBadArguments;
  }
  if (options->help) {
    std::cout << UsageText(options->command);
    return ExitDone;
  }
  const std::string& command = options->command;
  if (command == "stats") return RunStats(*options, std::cout, std::cerr);
  if (command == "dump") return RunDump(*options, std::cout, std::cerr);
  if (command == "learn") return RunLearn(*options, std::cout, std::cerr);
  if (command == "merge") return RunMerge(*options, std::cout, std::cerr);
  if (command == "train") {
    const int status = RunTrain(*options, std::cout, std::cerr);
    if (status == ExitStopped) {
      std::cout.flush();
      DieOfStopSignal();
    }
    return status;
  }
  return RunTrim(*options, std::cout, std::cerr);
}

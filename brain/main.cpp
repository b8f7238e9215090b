// pbrain-quorvex: the brain a Gomocup manager starts and drives over
// standard input and output. `pbrain-quorvex bench` instead searches fixed
// positions and prints the node counts.

#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "brain/brain_hooks.h"
#include "brain/command_loop.h"
#include "brain/engine.h"
#include "platform/platform.h"
#include "search/bench.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "bench") return quorvex::RunBench(std::cout);
  quorvex::PrepareConsole();
  std::ios::sync_with_stdio(false);
  const std::string experiencePath = quorvex::ExecutableDirectory() + "Experience.bin";
  const quorvex::BrainHooks hooks = quorvex::ReadBrainHooks(
      [](const char* name) { return std::getenv(name); }, quorvex::ProcessId(), experiencePath,
      std::cerr);
  quorvex::Engine engine(quorvex::EngineConfig{
      .experiencePath = experiencePath,
      .clock = {},
      .seed = hooks.seed ? *hooks.seed : quorvex::ProcessSeed(),
  });
  quorvex::CommandLoop loop(engine, std::cin, std::cout);
  if (hooks.storeDumpPath.empty()) return loop.Run();
  loop.SetBeforeStart([&] { quorvex::DumpStore(engine, hooks.storeDumpPath, std::cerr); });
  const int exitCode = loop.Run();
  quorvex::DumpStore(engine, hooks.storeDumpPath, std::cerr);
  return exitCode;
}

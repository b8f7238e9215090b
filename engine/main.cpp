// pbrain-quorvex: the brain a Gomocup manager starts and drives over
// standard input and output. `pbrain-quorvex bench` instead searches fixed
// positions and prints the node counts.

#include <iostream>
#include <string_view>

#include "engine/command_loop.h"
#include "engine/engine.h"
#include "engine/platform.h"
#include "search/bench.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "bench") return quorvex::RunBench(std::cout);
  quorvex::PrepareConsole();
  std::ios::sync_with_stdio(false);
  quorvex::Engine engine(quorvex::EngineConfig{
      .experiencePath = quorvex::ExecutableDirectory() + "Experience.bin",
      .clock = {},
      .seed = quorvex::ProcessSeed(),
  });
  quorvex::CommandLoop loop(engine, std::cin, std::cout);
  return loop.Run();
}

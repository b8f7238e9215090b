// pbrain-quorvex: the brain a Gomocup manager starts and drives over
// standard input and output.

#include <iostream>

#include "engine/command_loop.h"
#include "engine/engine.h"
#include "engine/platform.h"

int main() {
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

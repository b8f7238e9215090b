#include "brain/engine.h"

#include <utility>

#include "game/position_key.h"
#include "platform/platform.h"

namespace quorvex {

Engine::Engine(EngineConfig config)
    : ExperiencePath(std::move(config.experiencePath)),
      Clock(config.clock ? std::move(config.clock) : std::function<int32_t()>(MillisecondClock)),
      Rng(config.seed) {
  // Every member starts at zero or empty. The board gets its 20x20 ring at
  // once rather than at the first START: a manager that plays without START
  // would otherwise have the ranking propose the ring's empty cells, and
  // stones there would run MoveCount past the end of MoveBuffer.
  ClearBoard(Board, DefaultBoardSize);
  CandidateList.assign(1, MoveRecord{});
  TemplateCount = BuildTemplates(Templates);
  Store.LoadExperience(ExperiencePath);
  EngineMovedFirst = 0;
}

void Engine::ResetBoard(int32_t size) {
  ClearBoard(Board, size);
  for (int32_t n = 1; n < MoveBufferEntries; ++n) {
    MoveBuffer[n] = MoveEntry{};
    KeyHistory[n] = 0;
  }
}

void Engine::PlaceStone(int32_t code, int32_t x, int32_t y) {
  MoveCount += 1;
  Board.at(x, y) = code;
  if (MoveCount == 1) {
    NormXVec = 11 - x;
    NormYVec = 11 - y;
  }
  MoveBuffer[MoveCount] = MakeMoveEntry(x + NormXVec, y + NormYVec);
  PositionKey = ComputePositionKey(MoveBuffer);
  KeyHistory[MoveCount] = PositionKey;
}

}  // namespace quorvex

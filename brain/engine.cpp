#include "brain/engine.h"

#include <utility>

#include "platform/platform.h"
#include "search/time_budget.h"

namespace quorvex {

Engine::Engine(EngineConfig config)
    : clock_(config.clock ? std::move(config.clock) : std::function<int32_t()>(MillisecondClock)),
      rng_(config.seed) {
  BuildTemplates(templates_);
  store_.LoadExperience(config.experiencePath);
}

void Engine::NewGame(int32_t size) {
  game_.NewGame(size);
  timeLeftKnown_ = false;
}

void Engine::RecordLatestStone(int32_t x, int32_t y) {
  store_.RecordMove(game_.PositionKey(), game_.PrevPositionKey(), x + game_.NormXVec(),
                    y + game_.NormYVec(), game_.MoveCount(), 1, 1);
}

void Engine::PlayOpeningStone() {
  game_.PlaceOpeningStone();
  RecordLatestStone(11, 11);
}

void Engine::PlaceOpponentStone(int32_t x, int32_t y) {
  game_.PlaceStone(CellOpponent, x, y);
  StartTurnClock();
  RecordLatestStone(x, y);
}

void Engine::PlaceListedStone(int32_t code, int32_t x, int32_t y) {
  game_.PlaceStone(code, x, y);
  RecordLatestStone(x, y);
}

void Engine::SetInfo(std::string_view key, int32_t value) {
  if (key == "timeout_turn") msTurnTime_ = value;
  if (key == "timeout_match") matchTimeUnlimited_ = value == 0;
  if (key == "time_left") {
    msTimeLeft_ = value;
    timeLeftKnown_ = true;
  }
}

int32_t Engine::TurnSearchLimit() const {
  return SearchTimeLimit(msTurnTime_, timeLeftKnown_ && !matchTimeUnlimited_, msTimeLeft_);
}

std::string Engine::DecideMove() { return decision_.DecideMove(turnStartMs_, TurnSearchLimit()); }

}  // namespace quorvex

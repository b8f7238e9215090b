#include "tools/book/training_schedule.h"

namespace quorvex::book {

GameSlot ScheduleGame(int32_t game, int32_t opponents, int32_t openings) {
  const int32_t pair = game / 2;
  return {pair % opponents, (pair / opponents) % openings, game % 2 == 0};
}

}  // namespace quorvex::book

#pragma once
// Which opening, opponent and colour each game of a training run takes.
//
// Games go in pairs, the engine black in the first of each pair, white in
// the second. Pair k plays opening (k / opponents) mod openings against
// opponent k mod opponents. So every 2 * openings * opponents games each
// opening is played with both colours against every opponent, and the two
// games of a pair meet the same opening and opponent one after the other.

#include <cstdint>

namespace quorvex::book {

struct GameSlot {
  int32_t opponent = 0;  // from 0
  int32_t opening = 0;   // from 0
  bool engineBlack = true;
};

// The caller ensures game >= 0, opponents >= 1 and openings >= 1.
GameSlot ScheduleGame(int32_t game, int32_t opponents, int32_t openings);

}  // namespace quorvex::book

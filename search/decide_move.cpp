#include "search/decide_move.h"

namespace quorvex {

// Placeholder until the move decision lands: the first empty point.
std::string DecideMove(Engine& engine) {
  engine.MoveCount += 1;
  for (int32_t x = 1; x <= engine.Board.size; ++x) {
    for (int32_t y = 1; y <= engine.Board.size; ++y) {
      if (engine.Board.at(x, y) == CellEmpty) {
        engine.Board.at(x, y) = CellOwn;
        return std::to_string(x - 1) + "," + std::to_string(y - 1);
      }
    }
  }
  return "ERROR the board is full";
}

}  // namespace quorvex

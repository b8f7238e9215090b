#pragma once
// A finished game replayed into an engine's store, as a brain that played
// the winner's stones would have met it (the learn command's rule, told in
// its --help):
//   1. the game opens as the command loop opens one: START with the
//      record's board size, then every stone as a line of a BOARD listing,
//      the watching brain's own stones with owner 1, so each is placed,
//      keyed and recorded by the loop's own code, as the brain records the
//      stones it is given;
//   2. in a game that ends in five, the watching brain plays the winner,
//      and before each of its stones it takes its turn as the move
//      decision begins one: MoveCount counts the stone to come, the
//      candidates are ranked for it, and the outcome scan
//      (Engine::ScanForOutcome) looks for a decided game. At the first turn
//      at which the scan finds one it learns from the game, once, with the
//      scan's own verdict; the turns after it scan no more.
// Draws and games that stop before a five record every stone and learn
// nothing. The engine's store and its state of the game change; the
// engine must be idle (not in the middle of a game of its own).

#include <cstdint>
#include <string>

#include "brain/engine.h"
#include "tools/gomocup/records/game_record_reader.h"

namespace quorvex::book {

struct ReplayResult {
  bool played = false;    // false when the engine refused the board size
  bool decided = false;   // the last stone made five
  bool learned = false;   // the scan saw the decision and the game was credited
  bool learnedWin = false;  // ... as a win of the side that made five
  int32_t learnedAtStone = 0;  // the stone the watching brain was about to play then
};

// The caller ensures `game` is legal (its `illegal` empty).
ReplayResult ReplayGame(Engine& engine, const match::RecordedGame& game);

}  // namespace quorvex::book

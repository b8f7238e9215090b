#pragma once
// Plays a match of N games between two players and keeps the score.
//
// Game i (from 0) gives black to the first player when i is even, to the
// second when odd. With openings, games 2k and 2k+1 both start from opening
// k (cycling through the list), so each side plays each opening with both
// colours. After each game its PSQ record and an SVG of the final position
// go to `outDir` as game-NNN.psq and game-NNN.svg. A game that cannot be
// played (a player does not start) ends the match.
//
// A stop (MatchPlan::stop, set from another thread) ends the match at
// once: a game under way ends unfinished (its players answer Stopped), is
// not counted, and its files say so; no game starts after it.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/gomocup/brain_process/stop_signal.h"
#include "tools/gomocup/referee/game_runner.h"
#include "tools/gomocup/referee/openings.h"
#include "tools/gomocup/referee/results.h"

namespace quorvex::match {

// Told of a match as it is played, for a caller that shows it elsewhere
// (the page of --serve). Each is called on the thread of RunMatch; unset
// ones are skipped.
struct MatchObserver {
  // Before the players of game `game` (from 0) are started.
  std::function<void(int32_t game, const std::string& black, const std::string& white)> gameStarts;
  MoveObserver move;  // after each stone, as PlayGame's observer
  TakeBackObserver tookBack;  // after a take-back, as PlayGame's
  // After a game that was played (not one that could not start), with the
  // tally that counts it; also after a stopped game, which it does not
  // count.
  std::function<void(int32_t game, const GameRecord& record, const Tally& tally)> gameEnds;
};

struct MatchPlan {
  int32_t games = 1;
  GameSettings settings;
  std::vector<Opening> openings;
  std::string outDir;   // empty: write no files
  bool watch = false;   // board after every move
  bool redraw = false;  // watching on a terminal: each board replaces the last
  int32_t delayMs = 0;  // pause after each drawn move
  bool quiet = false;   // nothing but the final table
  MatchObserver observer;
  // When set, the match stops (see above). The players must watch the same
  // signal (BrainPlayer's stop) for a game under way to end at once.
  const StopSignal* stop = nullptr;
};

struct MatchReport {
  Tally tally;                    // from the first player's side
  std::vector<GameRecord> games;  // in the order played, stopped games not
  std::string abortReason;        // set when a game could not be played
  std::string stopReason;         // set when the match was stopped
};

// Writes progress to `log`, and the results table at the end. Calls Finish
// on both players before returning.
MatchReport RunMatch(Player& first, Player& second, const MatchPlan& plan, std::ostream& log);

// The log line of one stone, as watching shows it: "move 12: white (name)
// j10 (9,9), 523 ms" (no time for an opening stone).
std::string FormatMoveLine(const GameBoard& board, const PlayedMove& move,
                           const std::string& mover);

// 0 all games decided on the board, 1 some forfeit, 3 the match stopped
// because a player could not start.
int ExitCodeOf(const MatchReport& report);

}  // namespace quorvex::match

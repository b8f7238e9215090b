#include "tools/book/game_replay.h"

#include <sstream>

#include "brain/command_loop.h"
#include "brain/outcome_scan.h"
#include "tools/match/coordinates.h"

namespace quorvex::book {

namespace {

// The watching brain's turn up to the outcome scan, as the move decision
// takes it: the stone to come already counted, the candidates ranked for
// it. True when the scan found the game decided (and learned from it).
bool TakeTurnToScan(Engine& engine) {
  engine.MoveCount += 1;
  engine.GameResultFlag = 0;
  const bool decided = RankAndScanOutcome(engine);
  engine.MoveCount -= 1;
  return decided;
}

}  // namespace

ReplayResult ReplayGame(Engine& engine, const match::RecordedGame& game) {
  ReplayResult result;
  std::istringstream noInput;
  std::ostringstream replies;
  CommandLoop loop(engine, noInput, replies, [](int32_t) {});

  // 1. The board, as a START opens it.
  loop.HandleLine("START " + std::to_string(game.size));
  if (replies.str() != "OK\r\n") return result;
  result.played = true;
  loop.HandleLine("BOARD");

  // 2. Who won, and so whose stones the watching brain plays.
  result.decided = game.endsInFive;
  const match::Stone watcher = result.decided ? game.moves.back().colour : match::Stone::Black;

  // 3. Every stone through the loop; the winner's turns scanned until the
  //    scan sees the game decided.
  for (std::size_t i = 0; i < game.moves.size(); ++i) {
    const match::PlayedMove& move = game.moves[i];
    const bool own = move.colour == watcher;
    if (result.decided && own && !result.learned && TakeTurnToScan(engine)) {
      result.learned = true;
      result.learnedWin = engine.GameResultFlag == 1;
      result.learnedAtStone = static_cast<int32_t>(i) + 1;
    }
    loop.HandleLine(match::FormatProtocolPoint(move.point) + (own ? ",1" : ",2"));
  }
  // 4. Out of the listing, as a manager's DONE would leave it, without the
  //    move DONE asks for.
  engine.BoardInputMode = 0;
  return result;
}

}  // namespace quorvex::book

#include "tools/book/game_replay.h"

#include <sstream>

#include "brain/command_loop.h"
#include "tools/gomocup/referee/coordinates.h"

namespace quorvex::book {

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
    if (result.decided && own && !result.learned && engine.ScanForOutcome()) {
      result.learned = true;
      result.learnedWin = engine.game().GameResultFlag() == 1;
      result.learnedAtStone = static_cast<int32_t>(i) + 1;
    }
    loop.HandleLine(match::FormatProtocolPoint(move.point) + (own ? ",1" : ",2"));
  }
  return result;
}

}  // namespace quorvex::book

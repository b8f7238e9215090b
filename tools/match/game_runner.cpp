#include "tools/match/game_runner.h"

#include "tools/match/coordinates.h"
#include "tools/match/referee.h"

namespace quorvex::match {

namespace {

int Index(Stone colour) { return colour == Stone::Black ? 0 : 1; }

}  // namespace

GameRecord PlayGame(Player& black, Player& white, const std::vector<Point>& opening,
                    const GameSettings& settings, const MoveObserver& observer) {
  GameRecord record{
      GameBoard(settings.boardSize), Ending::Aborted, Stone::Empty, {}, black.name(), white.name()};
  GameBoard& board = record.board;
  Player* players[2] = {&black, &white};

  // 1. The opening.
  Stone side = Stone::Black;
  for (const Point p : opening) {
    if (!board.OnBoard(p) || board.At(p) != Stone::Empty) {
      record.reason = "the opening stone " + FormatProtocolPoint(p) + " is off the board or taken";
      return record;
    }
    board.Place({p, side, 0});
    if (observer) observer(board, board.moves().back(), "opening");
    if (board.MakesFive(p)) {
      record.reason = "the opening already holds five in a row";
      return record;
    }
    side = Opponent(side);
  }

  // 2. Both players ready themselves.
  for (Player* player : players) {
    record.reason = player->StartGame(settings);
    if (!record.reason.empty()) return record;
  }

  // 3. Moves until the game is decided.
  int32_t usedMs[2] = {0, 0};
  size_t seen[2] = {0, 0};
  for (;;) {
    const int me = Index(side);
    Player& player = *players[me];
    const MoveRequest request{board.moves(), side, seen[me], TimeLeftMs(settings, usedMs[me]),
                              WaitLimitMs(settings, usedMs[me])};
    const MoveAnswer answer = player.RequestMove(request);
    if (answer.kind == MoveAnswer::Kind::Stopped) {
      record.ending = Ending::Stopped;
      record.reason = answer.text;
      break;
    }
    const Verdict verdict = Adjudicate(board, answer, settings, {player.timed(), usedMs[me]});
    if (!verdict.point) {
      record.ending = Ending::Forfeit;
      record.winner = Opponent(side);
      record.reason = std::string(ColourName(side)) + " (" + player.name() + ") " + verdict.forfeit;
      break;
    }
    if (player.timed()) usedMs[me] += answer.elapsedMs;
    board.Place({*verdict.point, side, answer.elapsedMs});
    seen[me] = board.moves().size();
    if (observer) observer(board, board.moves().back(), player.name());
    if (board.MakesFive(*verdict.point)) {
      record.ending = Ending::Five;
      record.winner = side;
      break;
    }
    if (board.IsFull()) {
      record.ending = Ending::FullBoard;
      break;
    }
    side = Opponent(side);
  }

  // 4. Both hear that the game is over.
  for (Player* player : players) player->EndGame(board);
  return record;
}

std::string DescribeEnding(const GameRecord& record) {
  const auto who = [&](Stone colour) {
    return std::string(ColourName(colour)) + " (" +
           (colour == Stone::Black ? record.blackName : record.whiteName) + ")";
  };
  switch (record.ending) {
    case Ending::Five:
      return who(record.winner) + " wins with five in a row";
    case Ending::FullBoard:
      return "draw: the board is full";
    case Ending::Forfeit:
      return who(record.winner) + " wins: " + record.reason;
    case Ending::Stopped:
      return "unfinished, not scored: " + record.reason;
    case Ending::Aborted:
      break;
  }
  return "not played: " + record.reason;
}

}  // namespace quorvex::match

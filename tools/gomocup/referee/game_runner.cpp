#include "tools/gomocup/referee/game_runner.h"

#include "tools/gomocup/referee/coordinates.h"
#include "tools/gomocup/referee/referee.h"

namespace quorvex::match {

namespace {

int Index(Stone colour) { return colour == Stone::Black ? 0 : 1; }

std::string Who(Stone colour, const Player& player) {
  return std::string(ColourName(colour)) + " (" + player.name() + ")";
}

}  // namespace

GameRecord PlayGame(Player& black, Player& white, const std::vector<Point>& opening,
                    const GameSettings& settings, const MoveObserver& observer,
                    const TakeBackObserver& tookBack) {
  GameRecord record{
      GameBoard(settings.boardSize), Ending::Aborted, Stone::Empty, {}, black.name(), white.name()};
  GameBoard& board = record.board;
  Player* players[2] = {&black, &white};

  // 1. The opening.
  Stone side = Stone::Black;
  for (const Point p : opening) {
    if (!board.OnBoard(p) || board.At(p) != Stone::Empty) {
      record.reason = "the opening stone " + DescribePoint(p) + " is off the board or taken";
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
    Player& other = *players[1 - me];
    const MoveRequest request{board.moves(),
                              side,
                              seen[me],
                              TimeLeftMs(settings, usedMs[me]),
                              WaitLimitMs(settings, usedMs[me]),
                              opening.size()};
    const MoveAnswer answer = player.RequestMove(request);
    if (answer.kind == MoveAnswer::Kind::Stopped) {
      const std::string gaveUp = other.ResignedOutOfTurn();
      record.ending = gaveUp.empty() ? Ending::Stopped : Ending::Resigned;
      record.winner = gaveUp.empty() ? Stone::Empty : side;
      record.reason = gaveUp.empty() ? answer.text : Who(Opponent(side), other) + " " + gaveUp;
      break;
    }
    if (answer.kind == MoveAnswer::Kind::Resigned) {
      record.ending = Ending::Resigned;
      record.winner = Opponent(side);
      record.reason = Who(side, player) + " " + answer.text;
      break;
    }
    if (answer.kind == MoveAnswer::Kind::TakeBack) {
      const std::vector<PlayedMove>& moves = board.moves();
      const size_t n = moves.size();
      if (n < opening.size() + 2 || moves[n - 1].colour != Opponent(side) ||
          moves[n - 2].colour != side) {
        continue;  // nothing of this player's to take back: asked again
      }
      const std::vector<PlayedMove> removed(moves.end() - 2, moves.end());
      for (const PlayedMove& move : removed) {
        const int owner = Index(move.colour);
        if (players[owner]->timed()) usedMs[owner] -= move.ms;
        board.TakeBack();
      }
      seen[0] = seen[1] = 0;
      if (tookBack) tookBack(board, removed);
      other.Rewind();
      continue;
    }
    const Verdict verdict = Adjudicate(board, answer, settings, {player.timed(), usedMs[me]});
    if (!verdict.point) {
      record.ending = Ending::Forfeit;
      record.winner = Opponent(side);
      record.reason = Who(side, player) + " " + verdict.forfeit;
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
    case Ending::Resigned:
      return who(record.winner) + " wins: " + record.reason;
    case Ending::Stopped:
      return "unfinished, not scored: " + record.reason;
    case Ending::Unknown:
      return "the record does not say how the game ended";
    case Ending::Aborted:
      break;
  }
  return "not played: " + record.reason;
}

}  // namespace quorvex::match

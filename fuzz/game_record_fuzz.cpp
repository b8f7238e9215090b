// The game-record reader (PSQ and SGF) on arbitrary text. What must hold:
//   - a refused record says why;
//   - a record read has a board size the referee's board takes (5..26);
//   - its moves replay on that board: black first, colours alternating, each
//     on an empty point of the board, none after a five; a record marked
//     illegal keeps the moves before its fault, which replay too;
//   - the moves written back as PSQ and as SGF read back the same, legal.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "tools/gomocup/records/game_record_reader.h"
#include "tools/gomocup/records/psq_writer.h"
#include "tools/gomocup/referee/game_board.h"

namespace quorvex::fuzz {
namespace {

using match::PlayedMove;
using match::RecordedGame;
using match::Stone;

// Replays the kept moves under the referee's rules; returns the board.
match::GameBoard CheckReplays(const RecordedGame& game) {
  Require(game.size >= 5 && game.size <= 26, "a record read with a board size out of 5..26");
  match::GameBoard board(game.size);
  Stone toMove = Stone::Black;
  bool decided = false;
  for (const PlayedMove& move : game.moves) {
    Require(!decided, "a kept move comes after a five");
    Require(move.colour == toMove, "kept moves do not alternate from black");
    Require(board.OnBoard(move.point), "a kept move is off the board");
    Require(board.At(move.point) == Stone::Empty, "a kept move is on a stone");
    board.Place(move);
    decided = board.MakesFive(move.point);
    toMove = match::Opponent(toMove);
  }
  Require(decided == game.endsInFive, "a record's five is misreported");
  return board;
}

std::string AsSgf(const RecordedGame& game) {
  std::string text = "(;GM[4]SZ[" + std::to_string(game.size) + "]";
  for (const PlayedMove& move : game.moves) {
    text += move.colour == Stone::Black ? ";B[" : ";W[";
    text += static_cast<char>('a' + move.point.x);
    text += static_cast<char>('a' + move.point.y);
    text += "]";
  }
  return text + ")";
}

void CheckReadsBack(const RecordedGame& game, const std::string& text, bool keepsTimes) {
  std::string error;
  const auto again = match::ParseGameRecord(text, error);
  Require(again.has_value(), "moves written back are refused");
  Require(again->illegal.empty(), "legal moves written back read as illegal");
  Require(again->size == game.size && again->moves.size() == game.moves.size(),
          "moves written back read as another game");
  for (std::size_t i = 0; i < game.moves.size(); ++i) {
    const PlayedMove& a = game.moves[i];
    const PlayedMove& b = again->moves[i];
    Require(a.point == b.point && a.colour == b.colour && (!keepsTimes || a.ms == b.ms),
            "a move written back reads as another move");
  }
}

}  // namespace
}  // namespace quorvex::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace quorvex::fuzz;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const auto game = quorvex::match::ParseGameRecord(text, error);
  if (!game) {
    Require(!error.empty(), "a record refused without a reason");
    return 0;
  }
  quorvex::match::GameRecord record{.board = CheckReplays(*game)};
  CheckReadsBack(*game, quorvex::match::FormatPsq(record), true);
  CheckReadsBack(*game, AsSgf(*game), false);
  return 0;
}

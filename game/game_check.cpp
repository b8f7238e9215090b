#include <array>
#include <sstream>

#include "game/game.h"
#include "game/position_key.h"

// Game::CheckConsistency: the game against its own invariants (game.h),
// every one recomputed from the board and the buffer.

namespace quorvex {

namespace {

// The parts written one after the other: what is wrong, in words.
template <typename... Parts>
std::string Text(const Parts&... parts) {
  std::ostringstream out;
  (out << ... << parts);
  return out.str();
}

std::string Point(int32_t x, int32_t y) { return Text("(", x, ", ", y, ")"); }

bool IsStone(int32_t code) { return code == CellOwn || code == CellOpponent; }

// The ring and the padding as ClearBoard lays them, the playable points
// empty or a stone; counts the stones into `stones`.
std::string CheckBoard(const Board& board, int32_t& stones) {
  if (board.size < MinBoardSize || board.size > MaxBoardSize)
    return Text("board size ", board.size);
  const int32_t ring = board.size + 1;
  stones = 0;
  for (int32_t x = 0; x < BoardSpan; ++x) {
    for (int32_t y = 0; y < BoardSpan; ++y) {
      const int32_t cell = board.at(x, y);
      if (board.IsPlayable(x, y)) {
        if (IsStone(cell))
          ++stones;
        else if (cell != CellEmpty)
          return Text("cell code ", cell, " at ", Point(x, y));
        continue;
      }
      const bool onRing = x <= ring && y <= ring && (x == 0 || y == 0 || x == ring || y == ring);
      if (cell != (onRing ? CellBorder : CellEmpty))
        return Text("ring or padding broken at ", Point(x, y));
    }
  }
  return {};
}

}  // namespace

std::string Game::CheckConsistency() const {
  int32_t stones = 0;
  if (std::string fault = CheckBoard(board_, stones); !fault.empty()) return fault;
  if (moveCount_ != stones) {
    return Text("MoveCount ", moveCount_, " but ", stones, " stones");
  }

  // Each keyed entry of the buffer is a stone of the board, none twice,
  // and its key is that of the buffer up to it. An entry of (0, 0) with no
  // key is a stone placed unrecorded, or no stone yet; a stone shifted onto
  // (0, 0) is told apart by its key.
  std::array<std::array<bool, BoardSpan>, BoardSpan> seen{};
  quorvex::MoveBuffer upTo{};
  for (int32_t n = 1; n < MoveBufferEntries; ++n) {
    const MoveEntry entry = moveBuffer_[n];
    if (entry == MoveEntry{} && keyHistory_[n] == 0) continue;
    if (n > moveCount_) return Text("entry ", n, " is written past MoveCount");
    if (n == 1 && entry != MakeMoveEntry(11, 11)) return "stone 1 is not shifted to (11, 11)";
    const int32_t x = entry.x - normXVec_;
    const int32_t y = entry.y - normYVec_;
    if (!board_.IsPlayable(x, y) || !IsStone(board_.at(x, y)))
      return Text("entry ", n, " names no stone: ", Point(x, y));
    if (seen[x][y]) return Text("entry ", n, " names ", Point(x, y), " again");
    seen[x][y] = true;
    upTo[n] = entry;
    if (keyHistory_[n] != ComputePositionKey(upTo)) return Text("entry ", n, " has a wrong key");
  }

  const int64_t emptyKey = ComputePositionKey(quorvex::MoveBuffer{});
  if (keyHistory_[0] != 0 && keyHistory_[0] != emptyKey)
    return "KeyHistory entry 0 is no key of the empty game";
  if (positionKey_ != ComputePositionKey(moveBuffer_))
    return "PositionKey is not the key of the buffer";
  const MoveRecord& last = lastOpponentMove_;
  if ((last.x != 0 || last.y != 0) &&
      (!board_.IsPlayable(last.x, last.y) || board_.at(last.x, last.y) != CellOpponent)) {
    return Text("LastOpponentMove ", Point(last.x, last.y), " is no stone of the opponent");
  }
  if (engineMovedFirst_ != 0 && engineMovedFirst_ != 1)
    return Text("EngineMovedFirst ", engineMovedFirst_);
  if (gameResultFlag_ != 0 && gameResultFlag_ != 1) return Text("GameResultFlag ", gameResultFlag_);
  return {};
}

}  // namespace quorvex

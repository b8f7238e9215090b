#pragma once
// The game: its stones on the board and in the move buffer, the key of
// every position, and what the learning step needs to know of it.
//
// Game is the only writer of a stone. Each stone enters through one of the
// placing operations below, named for the case it serves; given its
// precondition, each leaves the game consistent (CheckConsistency):
//   - the board holds exactly MoveCount stones;
//   - MoveBuffer entry n (1 <= n <= MoveCount) is stone n shifted by the
//     offsets (NormXVec, NormYVec) that put stone 1 on (11, 11), or (0, 0)
//     for a stone placed unrecorded; entries past MoveCount are (0, 0);
//   - KeyHistory entry n is the key of the buffer up to entry n, or 0 for
//     a stone placed unrecorded and past MoveCount (a stone shifted onto
//     (0, 0) has an entry like a gap's, and only its key tells it from
//     one); PositionKey is the key of the whole buffer.
// Readers see the state under the names the whole engine knows it by.
// Single-threaded.

#include <cstdint>
#include <string>

#include "game/board.h"
#include "game/move_buffer.h"
#include "game/move_record.h"

namespace quorvex {

class Game {
 public:
  // An empty game on 20 x 20 points. The ring is laid at once rather than
  // at the first START: a manager that plays without START still gets a
  // sound board, and stones on the ring's cells would run MoveCount past
  // the end of MoveBuffer.
  Game();

  // START: an empty game of `size` points a side. Clears the board, the
  // entries 1..410 of MoveBuffer and KeyHistory (entry 0 of both stays),
  // MoveCount, the offsets, LastOpponentMove and EngineMovedFirst, so that
  // nothing of the previous game leaks into this one; both keys become the
  // key of the empty buffer. Requires MinBoardSize <= size <= MaxBoardSize.
  void NewGame(int32_t size);

  // A stone that the manager tells of (TURN, a stone of a BOARD listing),
  // in this order: PrevPositionKey := PositionKey; MoveCount += 1; if this
  // is stone 1, the game opens with it (below); the cell := `code`;
  // MoveBuffer entry MoveCount := the point shifted by the offsets;
  // PositionKey and KeyHistory entry MoveCount := its key. A stone of
  // CellOpponent becomes LastOpponentMove (its x and y). Requires an empty
  // playable point and `code` CellOwn or CellOpponent.
  //
  // Stone 1 of a game, whoever places it and however, sets the offsets to
  // 11 - x and 11 - y (0 and 0 for an unrecorded stone, as NewGame left
  // them) and EngineMovedFirst to whether it is the engine's.
  void PlaceStone(int32_t code, int32_t x, int32_t y);

  // BEGIN: the engine's opening stone at the centre (11, 11), placed as
  // PlaceStone places it (the offsets are then 0), and KeyHistory entry 0
  // := the key of the empty buffer. Only this writes entry 0: a game the
  // engine opens begins with its key, one the opponent opens leaves the
  // entry as it was. Requires MoveCount 0 and the centre empty.
  void PlaceOpeningStone();

  // The move decision's stone is counted before it is chosen, since the
  // outcome scan learns from the game with it counted (LearnFromGame reads
  // MoveCount). CountStoneToCome: MoveCount += 1, GameResultFlag := 0. The
  // counted stone is then placed by PlaceCountedStone or
  // PlaceUnrecordedStone, or, when no point is left or the count was only
  // for the scan, given back by WithdrawCountedStone (MoveCount -= 1).
  void CountStoneToCome();
  void WithdrawCountedStone();

  // The key the game would have with the counted stone at (x, y), shifted
  // by the offsets as PlaceCountedStone shifts it. The game stays exactly
  // as it was: the decision keys each root move of its search this way, to
  // record it as a continuation of the position before any is played.
  // Requires a counted stone.
  int64_t TrialKey(int32_t x, int32_t y) const;

  // The counted stone of the engine at (x, y), keyed as PlaceStone keys a
  // stone: PrevPositionKey := PositionKey; the cell := CellOwn; MoveBuffer
  // entry MoveCount := the shifted point; PositionKey and KeyHistory entry
  // MoveCount := its key. Returns that entry, the point as the store knows
  // it. Requires an empty playable point and a counted stone.
  MoveEntry PlaceCountedStone(int32_t x, int32_t y);

  // The counted stone of the engine at (x, y) on the board only. A point
  // drawn with nothing ranked is no move to learn: its MoveBuffer entry
  // stays (0, 0) and its key is never taken, as the experience files were
  // keyed, so the game's later keys match theirs. Requires an empty
  // playable point and a counted stone.
  void PlaceUnrecordedStone(int32_t x, int32_t y);

  // The outcome scan's verdict: 1 when the engine has won, 0 when the
  // opponent has.
  void SetGameResult(int32_t flag) { gameResultFlag_ = flag; }

  // Empty when the invariants above hold, along with: the ring and the
  // cells past it as ClearBoard lays them, entry 1 (when written) at
  // (11, 11), no point twice in the buffer, KeyHistory entry 0 either 0 or
  // the key of the empty buffer, LastOpponentMove (0, 0) or a stone of
  // CellOpponent, both flags 0 or 1. Otherwise what is wrong, the first
  // thing found. Takes one key per stone: for tests and fuzz targets, not
  // for play.
  std::string CheckConsistency() const;

  const quorvex::Board& Board() const { return board_; }
  const quorvex::MoveBuffer& MoveBuffer() const { return moveBuffer_; }
  const quorvex::KeyHistory& KeyHistory() const { return keyHistory_; }
  int32_t MoveCount() const { return moveCount_; }
  int64_t PositionKey() const { return positionKey_; }
  int64_t PrevPositionKey() const { return prevPositionKey_; }
  int32_t NormXVec() const { return normXVec_; }
  int32_t NormYVec() const { return normYVec_; }
  const MoveRecord& LastOpponentMove() const { return lastOpponentMove_; }
  int32_t EngineMovedFirst() const { return engineMovedFirst_; }
  int32_t GameResultFlag() const { return gameResultFlag_; }

 private:
  // Stone 1 of the game at (x, y): the offsets and who opened.
  void OpenWith(int32_t code, int32_t x, int32_t y);
  // The keyed part of every stone that enters the buffer.
  void KeyStone(int32_t code, int32_t x, int32_t y);

  quorvex::Board board_;
  quorvex::MoveBuffer moveBuffer_{};
  quorvex::KeyHistory keyHistory_{};
  int32_t moveCount_ = 0;
  int64_t positionKey_ = 0;
  int64_t prevPositionKey_ = 0;
  int32_t normXVec_ = 0;
  int32_t normYVec_ = 0;
  MoveRecord lastOpponentMove_;
  int32_t engineMovedFirst_ = 0;
  int32_t gameResultFlag_ = 0;
};

}  // namespace quorvex

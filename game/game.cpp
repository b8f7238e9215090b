#include "game/game.h"

#include "game/position_key.h"

namespace quorvex {

// The engine's opening point, where the offsets put every game's stone 1.
constexpr int32_t CentreX = 11;
constexpr int32_t CentreY = 11;

Game::Game() {
  ClearBoard(board_, DefaultBoardSize);
  positionKey_ = ComputePositionKey(moveBuffer_);
  prevPositionKey_ = positionKey_;
}

void Game::NewGame(int32_t size) {
  ClearBoard(board_, size);
  for (int32_t n = 1; n < MoveBufferEntries; ++n) {
    moveBuffer_[n] = MoveEntry{};
    keyHistory_[n] = 0;
  }
  moveCount_ = 0;
  positionKey_ = ComputePositionKey(moveBuffer_);
  prevPositionKey_ = positionKey_;
  normXVec_ = 0;
  normYVec_ = 0;
  lastOpponentMove_ = MoveRecord{};
  engineMovedFirst_ = 0;
}

void Game::OpenWith(int32_t code, int32_t x, int32_t y) {
  normXVec_ = CentreX - x;
  normYVec_ = CentreY - y;
  engineMovedFirst_ = code == CellOwn ? 1 : 0;
}

void Game::KeyStone(int32_t code, int32_t x, int32_t y) {
  prevPositionKey_ = positionKey_;
  board_.at(x, y) = code;
  moveBuffer_[moveCount_] = MakeMoveEntry(x + normXVec_, y + normYVec_);
  positionKey_ = ComputePositionKey(moveBuffer_);
  keyHistory_[moveCount_] = positionKey_;
}

void Game::PlaceStone(int32_t code, int32_t x, int32_t y) {
  moveCount_ += 1;
  if (moveCount_ == 1) OpenWith(code, x, y);
  KeyStone(code, x, y);
  if (code == CellOpponent) {
    lastOpponentMove_.x = x;
    lastOpponentMove_.y = y;
  }
}

void Game::PlaceOpeningStone() {
  PlaceStone(CellOwn, CentreX, CentreY);
  keyHistory_[0] = prevPositionKey_;
}

void Game::CountStoneToCome() {
  moveCount_ += 1;
  gameResultFlag_ = 0;
}

void Game::WithdrawCountedStone() { moveCount_ -= 1; }

int64_t Game::TrialKey(int32_t x, int32_t y) const {
  quorvex::MoveBuffer trial = moveBuffer_;
  trial[moveCount_] = MakeMoveEntry(x + normXVec_, y + normYVec_);
  return ComputePositionKey(trial);
}

MoveEntry Game::PlaceCountedStone(int32_t x, int32_t y) {
  if (moveCount_ == 1) OpenWith(CellOwn, x, y);
  KeyStone(CellOwn, x, y);
  return moveBuffer_[moveCount_];
}

void Game::PlaceUnrecordedStone(int32_t x, int32_t y) {
  if (moveCount_ == 1) engineMovedFirst_ = 1;
  board_.at(x, y) = CellOwn;
}

}  // namespace quorvex

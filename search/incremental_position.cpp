#include "search/incremental_position.h"

namespace quorvex {

void IncrementalPosition::Reserve(int32_t plies) { played_.reserve(static_cast<std::size_t>(plies)); }

void IncrementalPosition::Start(const Board& board) {
  played_.clear();
  ranker_.Reset(board);
}

void IncrementalPosition::Play(const MoveRecord& move, int32_t code) {
  if (!board().IsPlayable(move.x, move.y)) {
    played_.push_back({0, 0, 0});
    return;
  }
  played_.push_back({move.x, move.y, board().at(move.x, move.y)});
  ranker_.SetCell(move.x, move.y, code);
}

void IncrementalPosition::TakeBack() {
  const Change change = played_.back();
  played_.pop_back();
  if (change.x != 0) ranker_.SetCell(change.x, change.y, change.before);
}

}  // namespace quorvex

#include "search/copy_make_position.h"

namespace quorvex {

void CopyMakePosition::Reserve(int32_t plies) {
  const auto needed = static_cast<std::size_t>(plies) + 1;
  if (boards_.size() < needed) {
    boards_.resize(needed);
    lists_.resize(needed);
  }
}

void CopyMakePosition::Start(const Board& board) {
  top_ = 0;
  boards_[0] = board;
}

void CopyMakePosition::Play(const MoveRecord& move, int32_t code) {
  Board& next = boards_[static_cast<std::size_t>(top_) + 1];
  next = boards_[static_cast<std::size_t>(top_)];
  ++top_;
  if (next.IsPlayable(move.x, move.y)) next.at(move.x, move.y) = code;
}

ListedCandidates CopyMakePosition::Rank(int32_t side) {
  MoveList& list = lists_[static_cast<std::size_t>(top_)];
  ranker_.RankCandidates(board(), list, FullListLevel, side);
  return ListedCandidates(list);
}

}  // namespace quorvex

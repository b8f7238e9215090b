#include "tools/match/serve/web_human.h"

#include "tools/gomocup/brain_process/monotonic_clock.h"
#include "tools/gomocup/referee/coordinates.h"

namespace quorvex::match::serve {

WebHuman::WebHuman(std::function<void(bool)> awaiting) : awaiting_(std::move(awaiting)) {}

WebHuman::Offer WebHuman::OfferMove(Point point) {
  std::lock_guard lock(mutex_);
  if (over_) return Offer::Over;
  if (!board_ || move_ || takeBack_ || !resign_.empty() || !abandoned_.empty()) {
    return Offer::NotYourTurn;
  }
  if (!board_->OnBoard(point)) return Offer::OffBoard;
  if (board_->At(point) != Stone::Empty) return Offer::Occupied;
  move_ = point;
  offered_.notify_all();
  return Offer::Taken;
}

WebHuman::Offer WebHuman::OfferResign() {
  std::lock_guard lock(mutex_);
  if (over_) return Offer::Over;
  if (resign_.empty()) resign_ = "resigned";
  offered_.notify_all();
  return Offer::Taken;
}

WebHuman::Offer WebHuman::OfferTakeBack() {
  std::lock_guard lock(mutex_);
  if (over_) return Offer::Over;
  if (!board_ || move_ || takeBack_ || !resign_.empty() || !abandoned_.empty()) {
    return Offer::NotYourTurn;
  }
  // The person's last stone of this game, then the reply to it, on top.
  const std::vector<PlayedMove>& moves = board_->moves();
  const size_t n = moves.size();
  if (stonesPlayed_ == 0 || n < 2 || moves[n - 2].colour != colour_ ||
      moves[n - 1].colour == colour_) {
    return Offer::NothingToTakeBack;
  }
  takeBack_ = true;
  offered_.notify_all();
  return Offer::Taken;
}

std::string WebHuman::ResignedOutOfTurn() const {
  std::lock_guard lock(mutex_);
  return resign_;
}

void WebHuman::Abandon(const std::string& reason) {
  std::lock_guard lock(mutex_);
  if (abandoned_.empty()) abandoned_ = reason;
  offered_.notify_all();
}

std::string WebHuman::StartGame(const GameSettings& settings) {
  std::lock_guard lock(mutex_);
  size_ = settings.boardSize;
  stonesPlayed_ = 0;
  over_ = false;
  return {};
}

MoveAnswer WebHuman::RequestMove(const MoveRequest& request) {
  const int64_t asked = NowMs();  // kept for the record only
  std::unique_lock lock(mutex_);
  board_.emplace(size_);
  for (const PlayedMove& move : request.moves) board_->Place(move);
  colour_ = request.colour;
  move_.reset();
  lock.unlock();
  if (awaiting_) awaiting_(true);
  lock.lock();
  offered_.wait(lock, [&] {
    return move_.has_value() || takeBack_ || !resign_.empty() || !abandoned_.empty();
  });
  MoveAnswer answer;
  if (!abandoned_.empty()) {
    answer = {MoveAnswer::Kind::Stopped, abandoned_, 0};
  } else if (!resign_.empty()) {
    answer = {MoveAnswer::Kind::Resigned, resign_, 0};
  } else if (takeBack_) {
    answer = {MoveAnswer::Kind::TakeBack, {}, 0};
    --stonesPlayed_;
  } else {
    answer = {MoveAnswer::Kind::Reply, FormatProtocolPoint(*move_),
              static_cast<int32_t>(NowMs() - asked)};
    ++stonesPlayed_;
  }
  board_.reset();
  move_.reset();
  takeBack_ = false;
  lock.unlock();
  if (awaiting_) awaiting_(false);
  return answer;
}

void WebHuman::EndGame(const GameBoard&) {
  std::lock_guard lock(mutex_);
  over_ = true;
}

}  // namespace quorvex::match::serve

#include "tools/gomocup/referee/game_board.h"

#include <array>
#include <cassert>

namespace quorvex::match {

Stone Opponent(Stone colour) {
  if (colour == Stone::Black) return Stone::White;
  if (colour == Stone::White) return Stone::Black;
  return Stone::Empty;
}

const char* ColourName(Stone colour) {
  switch (colour) {
    case Stone::Black:
      return "black";
    case Stone::White:
      return "white";
    case Stone::Empty:
      break;
  }
  return "empty";
}

GameBoard::GameBoard(int32_t size) : size_(size), cells_(static_cast<std::size_t>(size * size)) {
  assert(size >= 5 && size <= 26);
}

bool GameBoard::OnBoard(Point p) const {
  return p.x >= 0 && p.y >= 0 && p.x < size_ && p.y < size_;
}

Stone GameBoard::At(Point p) const {
  if (!OnBoard(p)) return Stone::Empty;
  return cells_[static_cast<std::size_t>(p.y * size_ + p.x)];
}

void GameBoard::Place(const PlayedMove& move) {
  assert(OnBoard(move.point) && At(move.point) == Stone::Empty);
  cells_[static_cast<std::size_t>(move.point.y * size_ + move.point.x)] = move.colour;
  moves_.push_back(move);
}

void GameBoard::TakeBack() {
  assert(!moves_.empty());
  const Point p = moves_.back().point;
  cells_[static_cast<std::size_t>(p.y * size_ + p.x)] = Stone::Empty;
  moves_.pop_back();
}

bool GameBoard::MakesFive(Point p) const { return !FiveThrough(p).empty(); }

std::vector<Point> GameBoard::FiveThrough(Point p) const {
  const Stone colour = At(p);
  std::vector<Point> best;
  if (colour == Stone::Empty) return best;
  static constexpr std::array<Point, 4> kDirections = {{{1, 0}, {0, 1}, {1, 1}, {1, -1}}};
  for (const Point d : kDirections) {
    // Back to the row's first stone, then forward over all of it.
    Point first = p;
    while (At({first.x - d.x, first.y - d.y}) == colour) first = {first.x - d.x, first.y - d.y};
    std::vector<Point> row;
    for (Point q = first; At(q) == colour; q = {q.x + d.x, q.y + d.y}) row.push_back(q);
    if (row.size() >= 5 && row.size() > best.size()) best = std::move(row);
  }
  return best;
}

}  // namespace quorvex::match

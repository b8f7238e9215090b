#include "tools/match/game_board.h"

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

bool GameBoard::MakesFive(Point p) const {
  const Stone colour = At(p);
  if (colour == Stone::Empty) return false;
  static constexpr std::array<Point, 4> kDirections = {{{1, 0}, {0, 1}, {1, 1}, {1, -1}}};
  for (const Point d : kDirections) {
    int32_t run = 1;
    for (int32_t sign : {1, -1}) {
      Point q{p.x + sign * d.x, p.y + sign * d.y};
      while (At(q) == colour) {
        ++run;
        q = {q.x + sign * d.x, q.y + sign * d.y};
      }
    }
    if (run >= 5) return true;
  }
  return false;
}

}  // namespace quorvex::match

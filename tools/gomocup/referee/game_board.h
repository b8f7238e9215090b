#pragma once
// The referee's own board: who holds each point of a square board and the
// stones in the order they were played. Coordinates are the protocol's, 0 to
// size - 1, x the column and y the row.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvex::match {

enum class Stone : uint8_t { Empty, Black, White };

Stone Opponent(Stone colour);
const char* ColourName(Stone colour);  // "black", "white" or "empty"

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const Point&) const = default;
};

struct PlayedMove {
  Point point;
  Stone colour = Stone::Empty;
  int32_t ms = 0;  // time the player took; 0 for opening stones
};

class GameBoard {
 public:
  // The caller must pass a size from 5 to 26 (the letters of the notation).
  explicit GameBoard(int32_t size);

  int32_t size() const { return size_; }
  bool OnBoard(Point p) const;
  // Empty for points off the board.
  Stone At(Point p) const;
  bool IsFull() const { return static_cast<int32_t>(moves_.size()) == size_ * size_; }
  const std::vector<PlayedMove>& moves() const { return moves_; }

  // The caller must ensure the point is on the board and empty.
  void Place(const PlayedMove& move);
  // Removes the last stone played. The caller must ensure there is one.
  void TakeBack();

  // True when the stone at `p` is part of five or more in a row of its
  // colour (freestyle: an overline wins too).
  bool MakesFive(Point p) const;
  // The stones of the row of five or more through `p` in its colour, from
  // one end to the other; empty when there is none. Of two such rows
  // through one stone, the longer (the first found when equal).
  std::vector<Point> FiveThrough(Point p) const;

 private:
  int32_t size_;
  std::vector<Stone> cells_;
  std::vector<PlayedMove> moves_;
};

}  // namespace quorvex::match

#include "tools/match/text_board.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace quorvex::match {

namespace {

std::string ColumnLetters(int32_t size) {
  std::string line = "   ";
  for (int32_t x = 0; x < size; ++x) {
    line += ' ';
    line += static_cast<char>('a' + x);
    if (x + 1 < size) line += ' ';
  }
  return line + "\n";
}

char Glyph(Stone stone) {
  if (stone == Stone::Black) return 'X';
  if (stone == Stone::White) return 'O';
  return '.';
}

}  // namespace

std::string RenderTextBoard(const GameBoard& board) {
  const bool hasLast = !board.moves().empty();
  const Point last = hasLast ? board.moves().back().point : Point{-1, -1};
  const std::vector<Point> five = hasLast ? board.FiveThrough(last) : std::vector<Point>();
  std::string text = ColumnLetters(board.size());
  for (int32_t y = 0; y < board.size(); ++y) {
    char label[16];
    std::snprintf(label, sizeof label, "%2d", static_cast<int>(y + 1));
    text += label;
    text += ' ';
    for (int32_t x = 0; x < board.size(); ++x) {
      const Point p{x, y};
      const bool isLast = hasLast && p == last;
      const bool inFive = std::find(five.begin(), five.end(), p) != five.end();
      text += isLast ? '[' : inFive ? '(' : ' ';
      text += Glyph(board.At(p));
      text += isLast ? ']' : inFive ? ')' : ' ';
    }
    text += ' ';
    text += label;
    text += '\n';
  }
  return text + ColumnLetters(board.size());
}

}  // namespace quorvex::match

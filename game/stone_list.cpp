#include "game/stone_list.h"

#include <algorithm>
#include <charconv>

namespace quorvex {

namespace {

// "x,y" as two decimal numbers; anything else is no point.
bool ReadPoint(std::string_view token, int32_t& x, int32_t& y) {
  const std::size_t comma = token.find(',');
  if (comma == std::string_view::npos) return false;
  const char* end = token.data() + token.size();
  const auto [xEnd, xFault] = std::from_chars(token.data(), token.data() + comma, x);
  const auto [yEnd, yFault] = std::from_chars(token.data() + comma + 1, end, y);
  return xFault == std::errc() && xEnd == token.data() + comma && yFault == std::errc() && yEnd == end;
}

}  // namespace

bool PutStoneList(Board& board, std::string_view stones) {
  bool engineNext = true;
  std::size_t pos = 0;
  while (pos < stones.size()) {
    if (stones[pos] == ' ') {
      ++pos;
      continue;
    }
    const std::size_t end = std::min(stones.find(' ', pos), stones.size());
    std::string_view token = stones.substr(pos, end - pos);
    pos = end;
    int32_t code = 0;
    if (token.size() > 2 && token[1] == ':' && (token[0] == 'X' || token[0] == 'O')) {
      code = token[0] == 'X' ? CellOwn : CellOpponent;
      token.remove_prefix(2);
    } else {
      code = engineNext ? CellOwn : CellOpponent;
      engineNext = !engineNext;
    }
    int32_t x = 0;
    int32_t y = 0;
    if (!ReadPoint(token, x, y) || !board.IsPlayable(x, y)) return false;
    board.at(x, y) = code;
  }
  return true;
}

}  // namespace quorvex

#include "engine/stone_list.h"

#include "engine/protocol_text.h"

namespace quorvex {

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
    const int32_t x = ReadNumber(SplitField(token, ',', 1));
    const int32_t y = ReadNumber(SplitField(token, ',', 2));
    if (!board.IsPlayable(x, y)) return false;
    board.at(x, y) = code;
  }
  return true;
}

}  // namespace quorvex

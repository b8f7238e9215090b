#include "tools/match/human_player.h"

#include "tools/gomocup/brain_process/monotonic_clock.h"
#include "tools/gomocup/referee/coordinates.h"

namespace quorvex::match {

HumanPlayer::HumanPlayer(std::istream& in, std::ostream& out, int32_t boardSize)
    : in_(in), out_(out), boardSize_(boardSize) {}

std::string HumanPlayer::StartGame(const GameSettings& settings) {
  boardSize_ = settings.boardSize;
  return {};
}

MoveAnswer HumanPlayer::RequestMove(const MoveRequest& request) {
  const char last = static_cast<char>('a' + boardSize_ - 1);
  const int64_t asked = NowMs();  // kept for the record only; humans have no clock
  for (;;) {
    out_ << "Your move as " << ColourName(request.colour)
         << " (like h8 or 7,7; resign to give up): " << std::flush;
    std::string line;
    if (!std::getline(in_, line)) {
      out_ << "\n";
      return {MoveAnswer::Kind::Resigned, "no more input on the terminal", 0};
    }
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line == "resign" || line == "quit") return {MoveAnswer::Kind::Resigned, "resigned", 0};
    const auto point = ParseAnyPoint(line);
    if (!point || point->x >= boardSize_ || point->y >= boardSize_) {
      out_ << "Not a point of this board: columns a.." << last << ", rows 1.." << boardSize_
           << ", or x,y from 0 to " << boardSize_ - 1 << ".\n";
      continue;
    }
    bool taken = false;
    for (const PlayedMove& move : request.moves) taken = taken || move.point == *point;
    if (taken) {
      out_ << FormatNotation(*point) << " is taken.\n";
      continue;
    }
    return {MoveAnswer::Kind::Reply, FormatProtocolPoint(*point),
            static_cast<int32_t>(NowMs() - asked)};
  }
}

}  // namespace quorvex::match

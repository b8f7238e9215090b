#include "tools/gomocup/brain_process/protocol_lines.h"

#include "tools/gomocup/referee/coordinates.h"

namespace quorvex::match {

namespace {

// Gomocup's codes: game_type 1 is a game against another brain, rule 0 is
// freestyle (five or more wins).
constexpr int kGameTypeBrain = 1;
constexpr int kRuleFreestyle = 0;

}  // namespace

std::string StartLine(const GameSettings& settings) {
  return "START " + std::to_string(settings.boardSize);
}

std::vector<std::string> InfoLines(const GameSettings& settings) {
  return {
      "INFO timeout_turn " + std::to_string(settings.turnMs),
      "INFO timeout_match " + std::to_string(settings.matchMs),
      "INFO max_memory " + std::to_string(settings.maxMemory),
      "INFO game_type " + std::to_string(kGameTypeBrain),
      "INFO rule " + std::to_string(kRuleFreestyle),
  };
}

std::vector<std::string> RequestLines(const MoveRequest& request) {
  std::vector<std::string> lines = {"INFO time_left " + std::to_string(request.timeLeftMs)};
  const std::vector<PlayedMove>& moves = request.moves;
  if (moves.empty()) {
    lines.push_back("BEGIN");
  } else if (request.seenMoves + 1 == moves.size() && moves.size() > request.openingStones &&
             moves.back().colour != request.colour) {
    lines.push_back("TURN " + FormatProtocolPoint(moves.back().point));
  } else {
    lines.push_back("BOARD");
    for (const PlayedMove& move : moves) {
      const int owner = move.colour == request.colour ? 1 : 2;
      lines.push_back(FormatProtocolPoint(move.point) + "," + std::to_string(owner));
    }
    lines.push_back("DONE");
  }
  return lines;
}

}  // namespace quorvex::match

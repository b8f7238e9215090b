#include "tools/match/openings.h"

#include <fstream>
#include <sstream>

#include "tools/match/coordinates.h"

namespace quorvex::match {

std::optional<std::vector<Opening>> ParseOpenings(const std::string& text, int32_t boardSize,
                                                  std::string& error) {
  std::vector<Opening> openings;
  std::istringstream lines(text);
  std::string line;
  int lineNo = 0;
  while (std::getline(lines, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with('#')) continue;
    const std::string where = "openings line " + std::to_string(lineNo) + ": ";
    const auto points = ParseOpeningLine(line);
    if (!points) {
      error = where + "not a list of points (like h8 i9 or 7,7 8,8)";
      return std::nullopt;
    }
    // A blank line, or separators alone, names no stone.
    if (points->empty()) continue;
    GameBoard board(boardSize);
    Stone side = Stone::Black;
    for (const Point p : *points) {
      if (!board.OnBoard(p) || board.At(p) != Stone::Empty) {
        error = where + FormatProtocolPoint(p) + " is off the board or repeated";
        return std::nullopt;
      }
      board.Place({p, side, 0});
      if (board.MakesFive(p)) {
        error = where + "already holds five in a row";
        return std::nullopt;
      }
      side = Opponent(side);
    }
    openings.push_back(*points);
  }
  if (openings.empty()) {
    error = "the openings file holds no opening";
    return std::nullopt;
  }
  return openings;
}

std::optional<std::vector<Opening>> LoadOpenings(const std::string& path, int32_t boardSize,
                                                 std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot read openings file " + path;
    return std::nullopt;
  }
  std::ostringstream text;
  text << file.rdbuf();
  return ParseOpenings(text.str(), boardSize, error);
}

}  // namespace quorvex::match

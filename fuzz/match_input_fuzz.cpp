// What the match tool reads from outside, on arbitrary bytes. The first
// byte chooses the reader, the second a parameter, the rest is the text:
//
// Brain output (first byte even): the bytes a brain writes, cut into reads
// at lengths drawn from the parameter, through a LineAssembler, then each
// line judged by the referee as a move on a board of 15 or 20. What must
// hold:
//   - the reads give the same lines as one read of all the bytes, none
//     holding CR or LF or longer than MaxLineLength;
//   - a point read by ParseProtocolPoint formats back to the same point;
//   - Adjudicate gives a point or a forfeit, never both; the point it
//     accepts is on the board, empty, and the one the line names; it accepts
//     every such line that is not an ERROR;
//   - accepted points go on the board, so later lines meet occupied points.
//
// Openings file (first byte odd): ParseOpenings on a board of 5..26. Every
// opening read lies on the board, repeats no point and holds no five, and
// the openings written back in board notation, or as signed offsets from
// the centre, read back the same.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "tools/gomocup/brain_process/line_assembler.h"
#include "tools/gomocup/referee/coordinates.h"
#include "tools/gomocup/referee/game_board.h"
#include "tools/gomocup/referee/openings.h"
#include "tools/gomocup/referee/player.h"
#include "tools/gomocup/referee/referee.h"

namespace quorvex::fuzz {
namespace {

using namespace quorvex::match;

std::vector<std::string> AllLines(LineAssembler& lines) {
  std::vector<std::string> out;
  std::string line;
  while (lines.Next(line)) out.push_back(line);
  return out;
}

void CheckBrainOutput(uint8_t parameter, std::string_view bytes) {
  LineAssembler whole;
  whole.Feed(bytes);
  const std::vector<std::string> expected = AllLines(whole);

  LineAssembler pieces;
  std::vector<std::string> lines;
  uint32_t state = parameter | 1u;
  for (std::size_t at = 0; at < bytes.size();) {
    state = state * 1103515245u + 12345u;
    const std::size_t length = 1 + (state >> 16) % 7;
    pieces.Feed(bytes.substr(at, length));
    at += length;
    for (std::string& line : AllLines(pieces)) lines.push_back(std::move(line));
  }
  Require(lines == expected, "reads cut elsewhere give other lines");
  Require(pieces.TakePartial() == whole.TakePartial(), "reads cut elsewhere leave another partial");

  GameBoard board(parameter % 2 == 0 ? 20 : 15);
  GameSettings settings;
  settings.boardSize = board.size();
  const Clock clock{false, 0};
  Stone colour = Stone::Black;
  for (const std::string& line : lines) {
    Require(line.size() <= LineAssembler::MaxLineLength, "a line longer than the limit");
    Require(line.find_first_of("\r\n") == std::string::npos, "a line holds its terminator");
    const auto named = ParseProtocolPoint(line);
    if (named) {
      Require(ParseProtocolPoint(FormatProtocolPoint(*named)) == named,
              "a point does not format back to itself");
    }
    MoveAnswer answer;
    answer.text = line;
    const Verdict verdict = Adjudicate(board, answer, settings, clock);
    Require(verdict.point.has_value() != !verdict.forfeit.empty(),
            "a verdict is not exactly one of a point and a forfeit");
    const bool legal = named && board.OnBoard(*named) && board.At(*named) == Stone::Empty &&
                       !line.starts_with("ERROR");
    Require(verdict.point.has_value() == legal, "the referee judged a legal move otherwise");
    if (!verdict.point) continue;
    Require(verdict.point == named, "the referee accepted another point than the line named");
    board.Place({*verdict.point, colour, 0});
    colour = Opponent(colour);
    if (board.IsFull()) break;
  }
}

void CheckOpenings(uint8_t parameter, std::string_view bytes) {
  const int32_t size = 5 + parameter % 22;
  std::string error;
  const auto openings = ParseOpenings(std::string(bytes), size, error);
  if (!openings) {
    Require(!error.empty(), "openings refused without a reason");
    return;
  }
  Require(!openings->empty(), "an openings file read with no opening");
  std::string written, offsets;
  for (const Opening& opening : *openings) {
    GameBoard board(size);
    Stone colour = Stone::Black;
    for (const Point p : opening) {
      Require(board.OnBoard(p) && board.At(p) == Stone::Empty, "an opening stone is off or repeated");
      board.Place({p, colour, 0});
      Require(!board.MakesFive(p), "an opening holds a five");
      colour = Opponent(colour);
      written += FormatNotation(p) + " ";
      const auto sign = [](int32_t v) { return (v < 0 ? "" : "+") + std::to_string(v); };
      offsets += sign(p.x - size / 2) + "," + sign(p.y - size / 2) + ", ";
    }
    written += "\n";
    offsets.resize(offsets.size() - 2);
    offsets += "\n";
  }
  const auto again = ParseOpenings(written, size, error);
  Require(again.has_value() && *again == *openings, "openings written back read otherwise");
  const auto fromCentre = ParseOpenings(offsets, size, error);
  Require(fromCentre.has_value() && *fromCentre == *openings,
          "openings written back as offsets read otherwise");
}

}  // namespace
}  // namespace quorvex::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
  if (data[0] % 2 == 0) {
    quorvex::fuzz::CheckBrainOutput(data[1], text);
  } else {
    quorvex::fuzz::CheckOpenings(data[1], text);
  }
  return 0;
}

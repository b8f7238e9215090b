#include "tools/gomocup/referee/openings.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "tools/gomocup/referee/coordinates.h"

namespace quorvex::match {

namespace {

// Far more than any list of openings; a file past it is not one.
constexpr std::uintmax_t kMaxFileBytes = 8u << 20;

enum class Form { Moves, Offsets };

const char* FormName(Form form) { return form == Form::Moves ? "moves" : "offsets"; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// An optional sign, then 1 to 4 digits: no offset needs more.
std::optional<int32_t> ReadOffset(std::string_view text) {
  text = TrimBlanks(text);
  int32_t sign = 1;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    sign = text.front() == '-' ? -1 : 1;
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 4) return std::nullopt;
  int32_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return sign * value;
}

// "dx,dy, dx,dy, ...": the pairs, not yet moved to the centre; empty when
// the line is not in that form.
std::optional<std::vector<Point>> ParseOffsetLine(std::string_view line) {
  std::vector<int32_t> numbers;
  for (std::size_t at = 0;;) {
    const std::size_t comma = line.find(',', at);
    const auto number = ReadOffset(line.substr(at, comma == std::string_view::npos ? comma
                                                                                  : comma - at));
    if (!number) return std::nullopt;
    numbers.push_back(*number);
    if (comma == std::string_view::npos) break;
    at = comma + 1;
  }
  if (numbers.size() % 2 != 0) return std::nullopt;
  std::vector<Point> pairs;
  for (std::size_t i = 0; i < numbers.size(); i += 2) pairs.push_back({numbers[i], numbers[i + 1]});
  return pairs;
}

struct OpeningLine {
  int lineNo = 0;
  std::string text;
  std::optional<std::vector<Point>> moves;    // the line read as moves
  std::optional<std::vector<Point>> offsets;  // ... and as offsets
};

// The stones of `line` in the file's `form`, checked on a board of `size`;
// empty with `error` set on a fault.
std::optional<Opening> PlaceOpening(const OpeningLine& line, Form form, int32_t size,
                                    std::string& error) {
  const std::string where = "openings line " + std::to_string(line.lineNo) + ": ";
  Opening points = form == Form::Moves ? *line.moves : *line.offsets;
  GameBoard board(size);
  Stone side = Stone::Black;
  for (Point& p : points) {
    const Point given = p;
    if (form == Form::Offsets) p = {size / 2 + p.x, size / 2 + p.y};
    if (!board.OnBoard(p) || board.At(p) != Stone::Empty) {
      error = where + (form == Form::Offsets ? "the offset " + FormatProtocolPoint(given) + " at "
                                             : std::string()) +
              DescribePoint(p, size) + " is off the board or repeated";
      return std::nullopt;
    }
    board.Place({p, side, 0});
    if (board.MakesFive(p)) {
      error = where + "already holds five in a row";
      return std::nullopt;
    }
    side = Opponent(side);
  }
  return points;
}

}  // namespace

std::optional<std::vector<Opening>> ParseOpenings(const std::string& text, int32_t boardSize,
                                                  std::string& error) {
  // 1. Each line read both ways; the lines that can be read only one way
  //    fix the file's form.
  std::vector<OpeningLine> lines;
  std::optional<Form> form;
  int formLine = 0;
  std::istringstream in(text);
  std::string raw;
  for (int lineNo = 1; std::getline(in, raw); ++lineNo) {
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    if (raw.starts_with('#')) continue;
    OpeningLine line{lineNo, raw, ParseOpeningLine(raw), ParseOffsetLine(raw)};
    if (line.moves && line.moves->empty()) continue;  // blank, or separators alone
    const std::string where = "openings line " + std::to_string(lineNo) + ": ";
    if (!line.moves && !line.offsets) {
      error = where + "not a list of moves (h8 i9, 7,7 8,8) nor of offsets from the centre "
                      "(0,0, 1,1)";
      return std::nullopt;
    }
    if (!line.moves || !line.offsets) {
      const Form shown = line.moves ? Form::Moves : Form::Offsets;
      if (form && *form != shown) {
        error = where + "holds " + FormName(shown) + ", but line " + std::to_string(formLine) +
                " holds " + FormName(*form) + ": a file keeps its openings in one form";
        return std::nullopt;
      }
      if (!form) formLine = lineNo;
      form = shown;
    }
    lines.push_back(std::move(line));
  }
  if (lines.empty()) {
    error = "the openings file holds no opening";
    return std::nullopt;
  }
  if (!form) {
    const OpeningLine& first = lines.front();
    const std::string pair = std::string(TrimBlanks(first.text));
    error = "openings line " + std::to_string(first.lineNo) + ": \"" + pair +
            "\" may be the point " + pair + " or the offset " + pair +
            " from the centre, and no line of the file tells which: write points as h8, "
            "offsets with a sign (+0,+0)";
    return std::nullopt;
  }
  // 2. Every opening in that form, on the board.
  std::vector<Opening> openings;
  for (const OpeningLine& line : lines) {
    std::optional<Opening> opening = PlaceOpening(line, *form, boardSize, error);
    if (!opening) return std::nullopt;
    openings.push_back(std::move(*opening));
  }
  return openings;
}

std::optional<std::vector<Opening>> LoadOpenings(const std::string& path, int32_t boardSize,
                                                 std::string& error) {
  // A pipe or a device would block or never end: only a file is read.
  std::error_code failure;
  const auto status = std::filesystem::status(path, failure);
  if (failure || !std::filesystem::is_regular_file(status)) {
    error = "cannot read openings file " + path +
            (failure ? ": " + failure.message() : std::string(": not a regular file"));
    return std::nullopt;
  }
  const std::uintmax_t bytes = std::filesystem::file_size(path, failure);
  if (!failure && bytes > kMaxFileBytes) {
    error = "openings file " + path + " is larger than " + std::to_string(kMaxFileBytes) +
            " bytes: not a list of openings";
    return std::nullopt;
  }
  std::ifstream file(path, std::ios::binary);
  if (failure || !file) {
    error = "cannot read openings file " + path;
    return std::nullopt;
  }
  std::ostringstream text;
  text << file.rdbuf();
  auto openings = ParseOpenings(text.str(), boardSize, error);
  if (!openings) error = path + ": " + error;
  return openings;
}

}  // namespace quorvex::match

#include "tools/gomocup/records/game_record_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <limits>
#include <sstream>

#include "tools/gomocup/referee/coordinates.h"

namespace quorvex::match {
namespace {

constexpr int32_t MinRecordSize = 5;   // the referee's board holds 5..26
constexpr int32_t MaxRecordSize = 26;  // letters a..z name the columns

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// A whole decimal number, nothing else; empty on any other text.
std::optional<int32_t> WholeNumber(std::string_view s) {
  s = Trim(s);
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

// Places the moves on a board in order and notes the first that breaks the
// rules: off the board, on a stone, out of turn, or after a five; and
// whether the moves kept end in a five.
void CheckMoves(RecordedGame& game) {
  GameBoard board(game.size);
  Stone toMove = Stone::Black;
  bool& decided = game.endsInFive;
  for (std::size_t i = 0; i < game.moves.size(); ++i) {
    const PlayedMove& move = game.moves[i];
    const std::string where =
        "move " + std::to_string(i + 1) + ", " + DescribePoint(move.point, game.size);
    std::string fault;
    if (decided) {
      fault = where + " comes after a five";
    } else if (move.colour != toMove) {
      fault = where + " is played by " + ColourName(move.colour) + " out of turn";
    } else if (!board.OnBoard(move.point)) {
      fault = where + " is off the board";
    } else if (board.At(move.point) != Stone::Empty) {
      fault = where + " is occupied";
    }
    if (!fault.empty()) {
      game.illegal = fault;
      game.moves.resize(i);
      return;
    }
    board.Place(move);
    decided = board.MakesFive(move.point);
    toMove = Opponent(toMove);
  }
}

// A coordinate from 1 as the board's, from 0. The step is taken in 64 bits
// and kept within 32, so a number far off any board stays far off it
// instead of overflowing.
int32_t FromOneBased(int32_t coordinate) {
  return static_cast<int32_t>(
      std::max<int64_t>(int64_t{coordinate} - 1, std::numeric_limits<int32_t>::min()));
}

// A stone line "x,y" or "x,y,ms", coordinates from 1.
std::optional<PlayedMove> PsqStone(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const auto comma = line.find(',');
    fields.push_back(line.substr(0, comma));
    if (comma == std::string_view::npos) break;
    line.remove_prefix(comma + 1);
  }
  if (fields.size() < 2 || fields.size() > 3) return std::nullopt;
  const auto x = WholeNumber(fields[0]);
  const auto y = WholeNumber(fields[1]);
  const auto ms = fields.size() == 3 ? WholeNumber(fields[2]) : std::optional<int32_t>(0);
  if (!x || !y || !ms) return std::nullopt;
  PlayedMove move;
  move.point = {FromOneBased(*x), FromOneBased(*y)};
  move.ms = *ms;
  return move;
}

std::optional<RecordedGame> ParsePsq(std::string_view text, std::string& error) {
  std::istringstream lines{std::string(text)};
  std::string line;
  std::getline(lines, line);
  // "Piskvorky 20x20, 11:11, 0": the size is the field before the first comma.
  const std::string_view header = Trim(line);
  const auto blank = header.find(' ');
  const auto comma = header.find(',');
  const std::string_view dims =
      blank == std::string_view::npos ? std::string_view{} : header.substr(blank + 1, comma - blank - 1);
  const auto cross = dims.find('x');
  const auto width = WholeNumber(dims.substr(0, cross));
  const auto height = cross == std::string_view::npos ? std::nullopt : WholeNumber(dims.substr(cross + 1));
  if (!width || !height || *width != *height || *width < MinRecordSize || *width > MaxRecordSize) {
    error = "line 1: not a PSQ header with a square board (like \"Piskvorky 20x20, 11:11, 0\")";
    return std::nullopt;
  }
  RecordedGame game;
  game.size = *width;

  Stone colour = Stone::Black;
  std::vector<std::string> trailer;
  bool inMoves = true;
  while (std::getline(lines, line)) {
    const std::string_view trimmed = Trim(line);
    if (inMoves) {
      if (auto move = PsqStone(trimmed)) {
        move->colour = colour;
        game.moves.push_back(*move);
        colour = Opponent(colour);
        continue;
      }
      inMoves = false;
    }
    if (!trimmed.empty()) trailer.emplace_back(trimmed);
  }
  // Managers append the two players' names (or program paths) first.
  if (trailer.size() >= 2) {
    game.blackName = trailer[0];
    game.whiteName = trailer[1];
  }
  CheckMoves(game);
  return game;
}

// SGF: a sequence of nodes ";" each holding properties IDENT[value]...
class SgfReader {
 public:
  explicit SgfReader(std::string_view text) : text_(text) {}

  std::optional<RecordedGame> Read(std::string& error) {
    SkipBlanks();
    if (!Eat('(')) return Fail("expected \"(\" to open the game tree", error);
    RecordedGame game;
    game.size = 15;
    int32_t depth = 1;  // "(" still open
    std::string gameType;
    for (;;) {
      SkipBlanks();
      if (pos_ >= text_.size()) return Fail("the game tree is not closed", error);
      const char c = text_[pos_];
      if (c == ';') {
        ++pos_;
        continue;
      }
      if (c == '(') {
        ++pos_;
        ++depth;
        continue;
      }
      if (c == ')') {
        // The first ")" ends the main line, which always went on into the
        // first variation; the rest are skipped, checking only that the
        // brackets balance.
        ++pos_;
        if (!SkipVariations(depth - 1, error)) return std::nullopt;
        break;
      }
      const std::size_t propertyStart = pos_;
      std::string ident;
      while (pos_ < text_.size() && std::isupper(static_cast<unsigned char>(text_[pos_]))) ident += text_[pos_++];
      if (ident.empty()) return Fail("expected a property name", error);
      std::vector<std::string> values;
      SkipBlanks();
      while (pos_ < text_.size() && text_[pos_] == '[') {
        std::string value;
        if (!ReadValue(value, error)) return std::nullopt;
        values.push_back(value);
        SkipBlanks();
      }
      if (values.empty()) return Fail("property " + ident + " has no value", error);
      const std::string& v = values[0];
      if (ident == "GM") {
        gameType = v;
      } else if (ident == "SZ") {
        const auto size = WholeNumber(v.substr(0, v.find(':')));
        if (!size || *size < MinRecordSize || *size > MaxRecordSize) return Fail("SZ[" + v + "] is no board size", error);
        game.size = *size;
      } else if (ident == "PB") {
        game.blackName = v;
      } else if (ident == "PW") {
        game.whiteName = v;
      } else if (ident == "B" || ident == "W") {
        if (v.size() != 2 || !std::islower(static_cast<unsigned char>(v[0])) ||
            !std::islower(static_cast<unsigned char>(v[1]))) {
          pos_ = propertyStart;
          return Fail(ident + "[" + v + "] is not a point (two letters from a)", error);
        }
        PlayedMove move;
        move.point = {v[0] - 'a', v[1] - 'a'};
        move.colour = ident == "B" ? Stone::Black : Stone::White;
        game.moves.push_back(move);
      }
    }
    if (!gameType.empty() && gameType != "4") {
      error = "GM[" + gameType + "] is not Gomoku (GM[4])";
      return std::nullopt;
    }
    CheckMoves(game);
    return game;
  }

 private:
  std::optional<RecordedGame> Fail(const std::string& what, std::string& error) const {
    error = "byte " + std::to_string(pos_) + ": " + what;
    return std::nullopt;
  }

  void SkipBlanks() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }

  bool Eat(char c) {
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  // "[...]" with "\" escaping the next character.
  bool ReadValue(std::string& value, std::string& error) {
    const std::size_t start = pos_++;
    while (pos_ < text_.size() && text_[pos_] != ']') {
      if (text_[pos_] == '\\') ++pos_;
      if (pos_ < text_.size()) value += text_[pos_++];
    }
    if (pos_ >= text_.size()) {
      pos_ = start;
      Fail("a property value is not closed by \"]\"", error);
      return false;
    }
    ++pos_;
    return true;
  }

  // Skips past the `depth` trees still open, sibling variations included.
  bool SkipVariations(int32_t depth, std::string& error) {
    while (depth > 0) {
      if (pos_ >= text_.size()) {
        Fail("the game tree is not closed", error);
        return false;
      }
      const char c = text_[pos_];
      if (c == '[') {
        std::string ignored;
        if (!ReadValue(ignored, error)) return false;
        continue;
      }
      ++pos_;
      if (c == '(') ++depth;
      if (c == ')') --depth;
    }
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::optional<RecordedGame> ParseGameRecord(std::string_view text, std::string& error) {
  const std::string_view start = Trim(text);
  if (start.starts_with("(")) return SgfReader(text).Read(error);
  if (start.starts_with("Piskvorky")) return ParsePsq(text, error);
  error = "line 1: neither a PSQ record (\"Piskvorky ...\") nor an SGF one (\"(;\")";
  return std::nullopt;
}

std::optional<RecordedGame> LoadGameRecord(const std::string& path, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = path + ": cannot be read";
    return std::nullopt;
  }
  std::ostringstream text;
  text << file.rdbuf();
  if (!file.good() && !file.eof()) {
    error = path + ": read failed";
    return std::nullopt;
  }
  auto game = ParseGameRecord(text.str(), error);
  if (!game) error = path + ": " + error;
  return game;
}

}  // namespace quorvex::match

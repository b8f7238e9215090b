// The command loop fed arbitrary bytes as the manager's input, on a fresh
// engine for every input. After each line the target checks what a manager
// relies on:
//   - everything written is whole lines ending in CR LF, each one of the
//     protocol's forms: OK, x,y, the ABOUT line, UNKNOWN or ERROR followed by
//     printable text;
//   - START, BEGIN, TURN, DONE and ABOUT get exactly one line, INFO, BOARD
//     and END none, any other line UNKNOWN outside a listing and nothing
//     inside one;
//   - a move names a playable point that was empty before the line and holds
//     the engine's stone after it; the line added exactly one stone of the
//     engine, and a TURN one of the opponent besides;
//   - outside an accepted START no stone or ring cell ever changes and no
//     stone lands off the board; a line answered ERROR changes nothing,
//     except a TURN on the last empty point, which stands;
//   - the game stays consistent (Game::CheckConsistency: the board, the
//     move buffer, the keys and MoveCount agree), which also keeps
//     MoveCount within the move buffer.
//
// The clock starts at 0 for every line and jumps 2^24 ms at every reading
// (saturating), so whatever timeout_turn says, a search stops after a few
// hundred nodes. The experience file is an empty file in a scratch
// directory.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "brain/command_loop.h"
#include "brain/engine.h"
#include "brain/protocol_text.h"
#include "fuzz/fuzz_check.h"

namespace quorvex::fuzz {
namespace {

constexpr std::string_view kAbout =
    R"(name="Quorvex", version="2016", author="Tavenor", country="Japan")";

struct Counts {
  int32_t own = 0;
  int32_t opponent = 0;
};

Counts CountStones(const Board& board) {
  Counts counts;
  for (const auto& column : board.cell) {
    for (const int32_t code : column) {
      counts.own += code == CellOwn;
      counts.opponent += code == CellOpponent;
    }
  }
  return counts;
}

bool IsDigits(std::string_view text) {
  return !text.empty() && text.size() <= 2 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "x,y" in protocol coordinates, written as the engine writes them.
bool ReadMove(std::string_view reply, int32_t& x, int32_t& y) {
  const std::size_t comma = reply.find(',');
  if (comma == std::string_view::npos) return false;
  const std::string_view xs = reply.substr(0, comma);
  const std::string_view ys = reply.substr(comma + 1);
  if (!IsDigits(xs) || !IsDigits(ys)) return false;
  if ((xs.size() > 1 && xs[0] == '0') || (ys.size() > 1 && ys[0] == '0')) return false;
  x = ReadNumber(xs);
  y = ReadNumber(ys);
  return true;
}

bool IsErrorLine(std::string_view reply) {
  if (!reply.starts_with("ERROR ") || reply.size() == 6) return false;
  return std::all_of(reply.begin(), reply.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// The lines of `output`; fails unless every byte belongs to a line ending in
// CR LF with no other CR or LF inside.
std::vector<std::string_view> ReplyLines(std::string_view output) {
  std::vector<std::string_view> lines;
  while (!output.empty()) {
    const std::size_t end = output.find("\r\n");
    Require(end != std::string_view::npos, "a reply does not end in CR LF");
    const std::string_view line = output.substr(0, end);
    Require(line.find_first_of("\r\n") == std::string_view::npos, "a bare CR or LF in a reply");
    lines.push_back(line);
    output.remove_prefix(end + 2);
  }
  return lines;
}

void CheckUnchangedStones(const Board& before, const Board& after) {
  Require(after.size == before.size, "the board size changed outside START");
  for (int32_t x = 0; x < BoardSpan; ++x) {
    for (int32_t y = 0; y < BoardSpan; ++y) {
      const int32_t was = before.cell[x][y];
      const int32_t now = after.cell[x][y];
      if (was == now) continue;
      Require(was == CellEmpty, "a stone or ring cell was overwritten");
      Require(after.IsPlayable(x, y), "a stone landed off the board");
    }
  }
}

void CheckFreshGame(const Game& game, std::string_view line) {
  const std::string_view sizeField = SplitField(line, ' ', 2);
  const int32_t size = sizeField.empty() ? DefaultBoardSize : ReadNumber(sizeField);
  Require(game.Board().size == size, "START laid out another size than it was given");
  Require(game.MoveCount() == 0, "START left stones counted");
  const Counts counts = CountStones(game.Board());
  Require(counts.own == 0 && counts.opponent == 0, "START left stones on the board");
}

class Session {
 public:
  Session()
      : engine_(std::make_unique<Engine>(EngineConfig{
            .experiencePath = ScratchDirectory() + "/Experience.bin",
            .clock = [this] { return Tick(); },
            .seed = 1,
        })),
        loop_(*engine_, in_, out_, [](int32_t) {}) {}

  // Handles one line and checks it; false once the loop has ended.
  bool Feed(std::string_view line) {
    const Board before = engine_->game().Board();
    const Counts had = CountStones(before);
    const bool listing = loop_.BoardInputMode() == 1;
    now_ = 0;
    out_.str("");
    const bool goesOn = loop_.HandleLine(line);
    const std::string output = out_.str();
    const std::vector<std::string_view> replies = ReplyLines(output);
    const Game& game = engine_->game();
    if (const std::string fault = game.CheckConsistency(); !fault.empty()) Fail(fault);

    const std::string_view word = line.substr(0, 4);
    const bool isCommand = word == "STAR" || word == "BEGI" || word == "TURN" || word == "INFO" ||
                           word == "BOAR" || word == "DONE" || word == "ABOU";
    if (!goesOn) {
      Require(word == "END" && replies.empty(), "the loop ended on another line than END");
      return false;
    }
    const bool asksMove = word == "BEGI" || word == "TURN" || word == "DONE";
    if (word == "STAR" || asksMove || word == "ABOU") {
      Require(replies.size() == 1, "a command that must be answered got no single line");
    } else if (word == "INFO" || word == "BOAR" || listing) {
      Require(replies.empty(), "a line that takes no reply got one");
    } else {
      Require(replies.size() == 1 && replies[0] == "UNKNOWN", "an unknown line not answered UNKNOWN");
    }

    const std::string_view reply = replies.empty() ? std::string_view{} : replies[0];
    if (word == "STAR" && reply == "OK") {
      CheckFreshGame(game, line);
      return true;
    }
    CheckUnchangedStones(before, game.Board());
    const Counts has = CountStones(game.Board());
    if (word == "ABOU") Require(reply == kAbout, "ABOUT answered another line");
    if (word == "STAR") Require(IsErrorLine(reply), "START answered neither OK nor ERROR");
    if (!asksMove) {
      // Only a stone line of a listing places a stone, and one at most.
      const int32_t added = (has.own - had.own) + (has.opponent - had.opponent);
      const bool stoneLine = listing && !isCommand;
      Require(added == 0 || (stoneLine && added == 1), "a line placed stones it should not");
      return true;
    }
    int32_t x = 0;
    int32_t y = 0;
    if (!ReadMove(reply, x, y)) {
      Require(IsErrorLine(reply), "a move request answered neither a point nor ERROR");
      Require(has.own == had.own, "a move request answered ERROR placed our stone");
      // A TURN on the last empty point stands, and leaves no move to answer.
      const bool filledBoard = word == "TURN" && has.opponent == had.opponent + 1 &&
                               has.own + has.opponent == game.Board().size * game.Board().size;
      Require(has.opponent == had.opponent || filledBoard, "a refused line changed the board");
      return true;
    }
    Require(game.Board().IsPlayable(x + 1, y + 1), "a move names a point off the board");
    Require(before.at(x + 1, y + 1) == CellEmpty, "a move names an occupied point");
    Require(game.Board().at(x + 1, y + 1) == CellOwn, "the named point does not hold our stone");
    Require(has.own == had.own + 1, "a move did not add exactly one stone of ours");
    Require(has.opponent == had.opponent + (word == "TURN" ? 1 : 0),
            "a move request added a wrong number of the opponent's stones");
    return true;
  }

 private:
  int32_t Tick() {
    constexpr int64_t kStep = int64_t{1} << 24;
    const int64_t t = now_;
    now_ = std::min<int64_t>(now_ + kStep, std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(t);
  }

  int64_t now_ = 0;
  std::unique_ptr<Engine> engine_;
  std::istringstream in_;
  std::ostringstream out_;
  CommandLoop loop_;
};

}  // namespace
}  // namespace quorvex::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
  quorvex::LineReader reader(input);
  quorvex::fuzz::Session session;
  std::string line;
  while (reader.ReadLine(line)) {
    if (!session.Feed(line)) break;
  }
  return 0;
}

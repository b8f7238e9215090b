#include "brain/command_loop.h"

#include <array>
#include <limits>
#include <string>
#include <utility>

#include "brain/protocol_text.h"
#include "platform/platform.h"

namespace quorvex {

namespace {

constexpr std::string_view kAbout =
    R"(name="Quorvex", version="2016", author="Tavenor", country="Japan")";

// A manager that shuts our input without END, or stops reading our
// replies, expects the brain to go.
constexpr int kExitCode = 0;

// Protocol coordinates count from 0, the engine's from 1. Any number reads
// here, so the step is taken in 64 bits: an off-board value stays off the
// board instead of overflowing.
int32_t InternalCoordinate(std::string_view field) {
  const int64_t value = int64_t{ReadNumber(field)} + 1;
  return value > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                      : static_cast<int32_t>(value);
}

// A coordinate without digits would read as 0, a point on the board, so
// a line that names no point would place a stone there.
bool NamesPoint(std::string_view xField, std::string_view yField) {
  return HasNumber(xField) && HasNumber(yField);
}

// Echoes a piece of the manager's line in a reply: short, and only
// printable ASCII, so that a manager reading C strings or lines gets the
// whole reply.
std::string Printable(std::string_view text) {
  constexpr std::size_t kMaxEcho = 32;
  std::string out;
  for (const char c : text.substr(0, kMaxEcho)) out += (c >= 0x20 && c < 0x7F) ? c : '?';
  if (text.size() > kMaxEcho) out += "...";
  return out;
}

}  // namespace

CommandLoop::CommandLoop(Engine& engine, std::istream& in, std::ostream& out,
                         std::function<void(int32_t)> pause)
    : engine_(engine),
      in_(in),
      out_(out),
      pause_(pause ? std::move(pause) : std::function<void(int32_t)>(PauseMilliseconds)) {}

int CommandLoop::Run() {
  LineReader reader(in_);
  std::string line;
  while (reader.ReadLine(line)) {
    if (!HandleLine(line) || !out_) break;
  }
  return kExitCode;
}

bool CommandLoop::HandleLine(std::string_view line) {
  using Handler = void (CommandLoop::*)(std::string_view);
  struct Command {
    std::string_view word;
    Handler handler;
  };
  // Tested in this order; "END" is matched separately because it ends the loop.
  static constexpr std::array<Command, 6> kBeforeEnd = {{
      {"STAR", &CommandLoop::OnStart},
      {"BEGI", &CommandLoop::OnBegin},
      {"TURN", &CommandLoop::OnTurn},
      {"INFO", &CommandLoop::OnInfo},
      {"BOAR", &CommandLoop::OnBoard},
      {"DONE", &CommandLoop::OnDone},
  }};

  const std::string_view word = line.substr(0, 4);
  for (const Command& command : kBeforeEnd) {
    if (word == command.word) {
      (this->*command.handler)(line);
      return true;
    }
  }
  if (word == "END") return false;
  if (word == "ABOU") {
    OnAbout(line);
  } else if (boardInputMode_ == 1) {
    OnStoneLine(line);
  } else {
    Reply("UNKNOWN");
  }
  return true;
}

void CommandLoop::Reply(std::string_view text) {
  out_ << text << "\r\n";
  out_.flush();
}

void CommandLoop::OnStart(std::string_view line) {
  if (beforeStart_) beforeStart_();
  // A board smaller than 11 cannot hold the opening stone at (11, 11); the
  // grid holds at most 20.
  const std::string_view sizeField = SplitField(line, ' ', 2);
  const int32_t size = sizeField.empty() ? DefaultBoardSize : ReadNumber(sizeField);
  if (size < MinBoardSize || size > MaxBoardSize) {
    Reply("ERROR unsupported board size, this brain plays sizes 11 to 20");
    return;
  }
  Reply("OK");
  engine_.NewGame(size);
}

void CommandLoop::OnBegin(std::string_view) {
  const Game& game = engine_.game();
  if (game.MoveCount() != 0 || game.Board().at(11, 11) != CellEmpty) {
    Reply("ERROR BEGIN needs an empty board, send START first");
    return;
  }
  engine_.PlayOpeningStone();
  Reply("10,10");
  pause_(50);
}

std::string_view CommandLoop::RefusePoint(int32_t x, int32_t y) const {
  const Board& board = engine_.game().Board();
  if (!board.IsPlayable(x, y)) return "is off the board";
  if (board.at(x, y) != CellEmpty) return "is already occupied";
  return {};
}

void CommandLoop::OnTurn(std::string_view line) {
  const std::string_view point = SplitField(line, ' ', 2);
  const std::string_view xField = SplitField(point, ',', 1);
  const std::string_view yField = SplitField(point, ',', 2);
  if (!NamesPoint(xField, yField)) {
    Reply("ERROR point \"" + Printable(point) + "\" is not two integers x,y");
    return;
  }
  const int32_t x = InternalCoordinate(xField);
  const int32_t y = InternalCoordinate(yField);
  if (const std::string_view why = RefusePoint(x, y); !why.empty()) {
    Reply("ERROR point " + Printable(point) + " " + std::string(why));
    return;
  }
  engine_.PlaceOpponentStone(x, y);
  Reply(engine_.DecideMove());
}

void CommandLoop::OnInfo(std::string_view line) {
  engine_.SetInfo(SplitField(line, ' ', 2), ReadNumber(SplitField(line, ' ', 3)));
}

void CommandLoop::OnBoard(std::string_view) { boardInputMode_ = 1; }

void CommandLoop::OnDone(std::string_view) {
  boardInputMode_ = 0;
  engine_.StartTurnClock();
  Reply(engine_.DecideMove());
}

void CommandLoop::OnAbout(std::string_view) { Reply(kAbout); }

void CommandLoop::OnStoneLine(std::string_view line) {
  const std::string_view xField = SplitField(line, ',', 1);
  const std::string_view yField = SplitField(line, ',', 2);
  const int32_t owner = ReadNumber(SplitField(line, ',', 3));
  if (owner != 1 && owner != 2) return;
  // A listing has no reply line to carry an error, so a bad stone is left out.
  const int32_t x = InternalCoordinate(xField);
  const int32_t y = InternalCoordinate(yField);
  if (!NamesPoint(xField, yField) || !RefusePoint(x, y).empty()) return;
  engine_.PlaceListedStone(owner == 1 ? CellOwn : CellOpponent, x, y);
}

}  // namespace quorvex

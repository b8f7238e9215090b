#include "brain/command_loop.h"

#include <array>
#include <limits>
#include <string>
#include <utility>

#include "game/position_key.h"
#include "platform/platform.h"
#include "brain/protocol_text.h"
#include "brain/decide_move.h"

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

  engine_.InputLine.assign(line);
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
  } else if (engine_.BoardInputMode == 1) {
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
  engine_.MoveCount = 0;
  engine_.ResetBoard(size);
  // Nothing of the previous game may leak into this one: the offsets, the
  // opponent's last stone and who opened are all set again by its stones.
  engine_.NormXVec = 0;
  engine_.NormYVec = 0;
  engine_.LastOpponentMove = MoveRecord{};
  engine_.EngineMovedFirst = 0;
  engine_.TimeLeftKnown = false;
}

void CommandLoop::OnBegin(std::string_view) {
  if (engine_.MoveCount != 0 || engine_.Board.at(11, 11) != CellEmpty) {
    Reply("ERROR BEGIN needs an empty board, send START first");
    return;
  }
  engine_.EngineMovedFirst = 1;
  const int64_t openingPrevKey = ComputePositionKey(engine_.MoveBuffer);
  engine_.KeyHistory[engine_.MoveCount] = openingPrevKey;
  engine_.MoveCount += 1;
  engine_.Board.at(11, 11) = CellOwn;
  engine_.NormXVec = 0;
  engine_.NormYVec = 0;
  engine_.MoveBuffer[1] = MakeMoveEntry(11, 11);
  engine_.PositionKey = ComputePositionKey(engine_.MoveBuffer);
  engine_.KeyHistory[engine_.MoveCount] = engine_.PositionKey;
  engine_.Store.RecordMove(engine_.PositionKey, openingPrevKey, 11, 11, engine_.MoveCount, 1, 1);
  Reply("10,10");
  pause_(50);
}

std::string_view CommandLoop::RefusePoint(int32_t x, int32_t y) const {
  if (!engine_.Board.IsPlayable(x, y)) return "is off the board";
  if (engine_.Board.at(x, y) != CellEmpty) return "is already occupied";
  return {};
}

void CommandLoop::PlaceAndRecord(int32_t code, int32_t x, int32_t y) {
  engine_.PrevPositionKey = ComputePositionKey(engine_.MoveBuffer);
  engine_.MoveX = x;
  engine_.MoveY = y;
  if (code == CellOpponent) {
    engine_.LastOpponentMove.x = x;
    engine_.LastOpponentMove.y = y;
  }
  engine_.PlaceStone(code, x, y);
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
  PlaceAndRecord(CellOpponent, x, y);
  engine_.TurnStartMs = engine_.Clock();
  engine_.Store.RecordMove(engine_.PositionKey, engine_.PrevPositionKey, x + engine_.NormXVec,
                           y + engine_.NormYVec, engine_.MoveCount, 1, 1);
  Reply(DecideMove(engine_));
}

void CommandLoop::OnInfo(std::string_view line) {
  const std::string_view key = SplitField(line, ' ', 2);
  const std::string_view value = SplitField(line, ' ', 3);
  if (key == "timeout_turn") engine_.msTurnTime = ReadNumber(value);
  if (key == "timeout_match") engine_.MatchTimeUnlimited = ReadNumber(value) == 0;
  if (key == "time_left") {
    engine_.msTimeLeft = ReadNumber(value);
    engine_.TimeLeftKnown = true;
  }
}

void CommandLoop::OnBoard(std::string_view) { engine_.BoardInputMode = 1; }

void CommandLoop::OnDone(std::string_view) {
  engine_.BoardInputMode = 0;
  engine_.TurnStartMs = engine_.Clock();
  Reply(DecideMove(engine_));
}

void CommandLoop::OnAbout(std::string_view) { Reply(kAbout); }

void CommandLoop::OnStoneLine(std::string_view line) {
  const std::string_view xField = SplitField(line, ',', 1);
  const std::string_view yField = SplitField(line, ',', 2);
  const int32_t x = InternalCoordinate(xField);
  const int32_t y = InternalCoordinate(yField);
  const int32_t owner = ReadNumber(SplitField(line, ',', 3));
  if (owner != 1 && owner != 2) {
    engine_.MoveX = x;
    engine_.MoveY = y;
    engine_.StoneOwner = owner;
    return;
  }
  // A listing has no reply line to carry an error, so a bad stone is left out.
  if (!NamesPoint(xField, yField) || !RefusePoint(x, y).empty()) return;
  engine_.StoneOwner = owner;
  PlaceAndRecord(owner == 1 ? CellOwn : CellOpponent, x, y);
  // Learning credits stones by who played stone 1; in a listing that is the
  // owner of the first stone listed.
  if (engine_.MoveCount == 1) engine_.EngineMovedFirst = owner == 1 ? 1 : 0;
  engine_.Store.RecordMove(engine_.PositionKey, engine_.PrevPositionKey, x + engine_.NormXVec,
                           y + engine_.NormYVec, engine_.MoveCount, 1, 1);
}

}  // namespace quorvex

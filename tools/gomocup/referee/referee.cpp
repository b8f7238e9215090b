#include "tools/gomocup/referee/referee.h"

#include <algorithm>
#include <limits>

#include "tools/gomocup/referee/coordinates.h"
#include "tools/gomocup/referee/printable_text.h"

namespace quorvex::match {

namespace {

std::string Ms(int64_t ms) { return std::to_string(ms) + " ms"; }

}  // namespace

int32_t TimeLeftMs(const GameSettings& settings, int32_t usedMs) {
  if (settings.matchMs <= 0) return std::numeric_limits<int32_t>::max();
  return std::max(0, settings.matchMs - usedMs);
}

int32_t WaitLimitMs(const GameSettings& settings, int32_t usedMs) {
  int32_t limit = settings.turnMs;
  if (settings.matchMs > 0) limit = std::min(limit, TimeLeftMs(settings, usedMs));
  return limit + settings.toleranceMs;
}

Verdict Adjudicate(const GameBoard& board, const MoveAnswer& answer, const GameSettings& settings,
                   const Clock& clock) {
  // 1. No answer at all.
  switch (answer.kind) {
    case MoveAnswer::Kind::TimedOut:
      return {std::nullopt, "no move within " + Ms(WaitLimitMs(settings, clock.usedMs)) +
                                " (turn limit " + Ms(settings.turnMs) + ", match time left " +
                                (settings.matchMs > 0 ? Ms(TimeLeftMs(settings, clock.usedMs))
                                                      : std::string("unlimited")) +
                                ", tolerance " + Ms(settings.toleranceMs) + "); killed"};
    case MoveAnswer::Kind::Crashed:
      return {std::nullopt, "crashed: " + answer.text};
    case MoveAnswer::Kind::Resigned:
      return {std::nullopt, answer.text};
    case MoveAnswer::Kind::Stopped:
      return {std::nullopt, "was stopped: " + answer.text};
    case MoveAnswer::Kind::TakeBack:
      return {std::nullopt, "asked to take back, which this game does not allow"};
    case MoveAnswer::Kind::Reply:
      break;
  }
  // 2. The brain says it cannot go on.
  if (answer.text.compare(0, 5, "ERROR") == 0) {
    return {std::nullopt, "sent " + PrintableText(answer.text)};
  }
  // 3. Time, before the point: a late answer is late whatever it says.
  if (clock.timed) {
    if (answer.elapsedMs > settings.turnMs + settings.toleranceMs) {
      return {std::nullopt, "took " + Ms(answer.elapsedMs) + ", over the turn limit of " +
                                Ms(settings.turnMs) + " (tolerance " + Ms(settings.toleranceMs) +
                                ")"};
    }
    const int64_t used = static_cast<int64_t>(clock.usedMs) + answer.elapsedMs;
    if (settings.matchMs > 0 &&
        used > static_cast<int64_t>(settings.matchMs) + settings.toleranceMs) {
      return {std::nullopt, "used " + Ms(used) + ", over the match time of " +
                                Ms(settings.matchMs) + " (tolerance " + Ms(settings.toleranceMs) +
                                ")"};
    }
  }
  // 4. The point itself.
  const auto point = ParseProtocolPoint(answer.text);
  if (!point) {
    return {std::nullopt, "answered \"" + PrintableText(answer.text) + "\", which is not a move"};
  }
  if (!board.OnBoard(*point)) {
    return {std::nullopt, "played " + FormatProtocolPoint(*point) + ", off the " +
                              std::to_string(board.size()) + "x" + std::to_string(board.size()) +
                              " board"};
  }
  if (board.At(*point) != Stone::Empty) {
    return {std::nullopt, "played " + DescribePoint(*point) + ", which is occupied"};
  }
  return {point, {}};
}

}  // namespace quorvex::match

#include "tools/gomocup/records/sgf_writer.h"

#include "tools/gomocup/referee/printable_text.h"

namespace quorvex::match {

namespace {

std::string Value(const std::string& raw) {
  std::string out = "[";
  for (const char c : PrintableText(raw)) {
    if (c == '\\' || c == ']') out += '\\';
    out += c;
  }
  return out + "]";
}

std::string Result(const GameRecord& record) {
  const std::string winner = record.winner == Stone::Black ? "B+" : "W+";
  switch (record.ending) {
    case Ending::Five:
      return winner;
    case Ending::Resigned:
      return winner + "R";
    case Ending::Forfeit:
      return winner + "F";
    case Ending::FullBoard:
      return "0";
    case Ending::Stopped:
    case Ending::Aborted:
    case Ending::Unknown:
      break;
  }
  return "Void";
}

}  // namespace

std::string FormatSgf(const GameRecord& record) {
  std::string text = "(;FF[4]GM[4]CA[UTF-8]AP[quorvex-match]SZ[" +
                     std::to_string(record.board.size()) + "]PB" + Value(record.blackName) +
                     "PW" + Value(record.whiteName);
  if (record.ending != Ending::Unknown) {
    text += "RE[" + Result(record) + "]C" + Value(DescribeEnding(record));
  }
  text += "\n";
  for (const PlayedMove& move : record.board.moves()) {
    text += move.colour == Stone::Black ? ";B[" : ";W[";
    text += static_cast<char>('a' + move.point.x);
    text += static_cast<char>('a' + move.point.y);
    text += ']';
  }
  return text + ")\n";
}

}  // namespace quorvex::match

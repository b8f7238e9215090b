#include "tools/gomocup/records/psq_writer.h"

#include <fstream>

#include "tools/gomocup/referee/printable_text.h"

namespace quorvex::match {

std::string FormatPsq(const GameRecord& record) {
  const std::string size = std::to_string(record.board.size());
  std::string text = "Piskvorky " + size + "x" + size + ", 11:11, 0\r\n";
  for (const PlayedMove& move : record.board.moves()) {
    text += std::to_string(move.point.x + 1) + "," + std::to_string(move.point.y + 1) + "," +
            std::to_string(move.ms) + "\r\n";
  }
  text += PrintableText(record.blackName) + "\r\n";
  text += PrintableText(record.whiteName) + "\r\n";
  if (record.ending == Ending::Stopped) text += PrintableText(DescribeEnding(record)) + "\r\n";
  return text;
}

bool WritePsq(const GameRecord& record, const std::string& path) {
  std::ofstream file(path, std::ios::binary);
  file << FormatPsq(record);
  return static_cast<bool>(file.flush());
}

}  // namespace quorvex::match

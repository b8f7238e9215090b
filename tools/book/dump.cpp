// quorvex-book dump: every record of an experience file, one line each.

#include <iomanip>

#include "tools/book/commands.h"
#include "tools/book/experience_input.h"

namespace quorvex::book {

int RunDump(const BookOptions& options, std::ostream& out, std::ostream& err) {
  const std::string& path = options.files[0];
  std::string error;
  const std::optional<LoadedBook> book = LoadBook(path, 0, true, error);
  if (!book) {
    err << "quorvex-book: " << error << "\n";
    return ExitFileFault;
  }
  // Widths fit every value of the field: a key has up to 20 characters.
  const int widths[] = {8, 21, 21, 4, 4, 7, 7, 7, 12};
  const char* names[] = {"record", "CRC", "PrevCRC", "X", "Y", "WINS", "LOSSES", "MoveNo", "Touch"};
  const auto row = [&](const auto&... fields) {
    int column = 0;
    if (options.csv) {
      ((out << (column++ == 0 ? "" : ",") << fields), ...);
    } else {
      ((out << std::setw(widths[column++]) << fields), ...);
    }
    out << "\n";
  };
  row(names[0], names[1], names[2], names[3], names[4], names[5], names[6], names[7], names[8]);
  int64_t number = 0;
  for (const ExperienceRecord& r : book->contents.records) {
    row(++number, r.crc, r.prevCrc, r.x, r.y, r.wins, r.losses, r.moveNo, r.touch);
  }
  if (book->contents.fragmentBytes != 0) {
    err << "quorvex-book: " << FragmentError(path, book->contents) << "\n";
    return ExitFileFault;
  }
  return ExitDone;
}

}  // namespace quorvex::book

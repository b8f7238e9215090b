// quorvex-book dump: every record of an experience file, one line each.

#include <iomanip>

#include "book/statement.h"
#include "tools/book/commands.h"
#include "tools/book/experience_input.h"

namespace quorvex::book {

int RunDump(const BookOptions& options, std::ostream& out, std::ostream& err) {
  const std::string& path = options.files[0];
  std::string error;
  const std::optional<LoadedBook> book = LoadBook(path, ReadScope::WholeFile, 0, true, error);
  if (!book) {
    err << "quorvex-book: " << error << "\n";
    return ExitFileFault;
  }
  WarnAboutContents(path, book->contents, ReadScope::WholeFile, err);
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
  // The store's rows are the file's records in file order.
  Statement rows(book->engine->store().Db(),
                 "select rowid, CRC, PrevCRC, X, Y, WINS, LOSSES, MoveNo, Touch from Openings "
                 "order by rowid");
  while (rows.Step()) {
    row(rows.Int64(0), rows.Int64(1), rows.Int64(2), rows.Int64(3), rows.Int64(4), rows.Int64(5),
        rows.Int64(6), rows.Int64(7), rows.Int64(8));
  }
  if (book->contents.fragmentBytes != 0) {
    err << "quorvex-book: " << FragmentError(path, book->contents) << "\n";
    return ExitFileFault;
  }
  return ExitDone;
}

}  // namespace quorvex::book

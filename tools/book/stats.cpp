// quorvex-book stats: what an experience file holds, as a brain would load it.

#include <iomanip>

#include "book/statement.h"
#include "tools/book/commands.h"
#include "tools/book/experience_input.h"
#include "tools/book/run_stamp.h"

namespace quorvex::book {

int RunStats(const BookOptions& options, std::ostream& out, std::ostream& err) {
  const std::string& path = options.files[0];
  std::string error;
  std::optional<LoadedBook> book = LoadBook(path, ReadScope::WholeFile, 0, true, error);
  if (!book) {
    err << "quorvex-book: " << error << "\n";
    return ExitFileFault;
  }
  const ExperienceContents& contents = book->contents;
  Database& db = book->engine->store().Db();
  Statement totals(db,
                   "select count(*), count(distinct PrevCRC), min(Touch), max(Touch), "
                   "sum(WINS), sum(LOSSES) from Openings");
  totals.Step();
  const int64_t records = totals.Int64(0);
  const auto line = [&](const char* what) -> std::ostream& {
    return out << std::left << std::setw(20) << what;
  };

  line("file") << path << "\n";
  const int64_t bytes = static_cast<int64_t>(contents.bytes);
  const int64_t room = GomocupEntryBytes - bytes;
  line("bytes") << bytes;
  if (room >= 0) {
    out << " (" << room << " left under Gomocup's " << GomocupEntryBytes << ", room for "
        << room / static_cast<int64_t>(ExperienceRecordBytes) << " more records)\n";
  } else {
    out << " (" << -room << " over Gomocup's " << GomocupEntryBytes << ")\n";
  }
  line("records") << records << "\n";
  line("a brain loads") << contents.brainRecords;
  if (contents.brainRecords == records) {
    out << " records, all of them\n";
  } else {
    out << " records, those of the first " << MaxExperienceFileBytes << " bytes (32 MiB); the "
        << records - contents.brainRecords << " beyond are never read\n";
  }
  if (contents.implausible > 0) {
    line("implausible") << DescribeImplausible(contents) << "; a brain loads them too\n";
  }
  line("positions") << totals.Int64(1) << " distinct PrevCRC\n";
  line("Touch");
  if (records > 0) out << totals.Int64(2) << " to " << totals.Int64(3) << ", ";
  out << "a brain loading the file stamps its rows " << contents.brainRunTouch << "\n";
  line("kind") << DescribeKind(contents.brainRunTouch) << "\n";
  Statement old(db, "select count(*) from Openings where Touch < " +
                        std::to_string(LastingTouch) + " and MoveNo > 9");
  if (old.Step() && old.Int64(0) > 0) {
    line("") << old.Int64(0) << " rows past stone 9 stamped below " << LastingTouch
             << " go at the brain's first game learned\n";
  }
  line("WINS total") << totals.Int64(4) << "\n";
  line("LOSSES total") << totals.Int64(5) << "\n";
  if (contents.fragmentBytes != 0) {
    line("trailing fragment") << contents.fragmentBytes << " bytes at offset "
                              << records * static_cast<int64_t>(ExperienceRecordBytes)
                              << " (a brain ignores it)\n";
  }
  out << "rows per MoveNo:\n";
  Statement perMove(db, "select MoveNo, count(*) from Openings group by MoveNo order by MoveNo");
  while (perMove.Step()) {
    out << "  " << std::right << std::setw(5) << perMove.Int64(0) << "  " << perMove.Int64(1)
        << "\n";
  }
  if (contents.fragmentBytes != 0) {
    err << "quorvex-book: " << FragmentError(path, contents) << "\n";
    return ExitFileFault;
  }
  return ExitDone;
}

}  // namespace quorvex::book

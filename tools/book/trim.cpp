// quorvex-book trim: the rows a brain is likeliest to use, within a size.

#include "book/experience_file.h"
#include "tools/book/book_output.h"
#include "tools/book/commands.h"
#include "tools/book/experience_input.h"

namespace quorvex::book {

int RunTrim(const BookOptions& options, std::ostream& out, std::ostream& err) {
  const std::string& in = options.files[0];
  const std::string& outPath = options.files[1];
  std::string error;
  std::optional<LoadedBook> book;
  if (!CheckWritable(outPath, error) ||
      !(book = LoadBook(in, ReadScope::WholeFile, 0, false, error))) {
    err << "quorvex-book: " << error << "\n";
    return ExitFileFault;
  }
  WarnAboutContents(in, book->contents, ReadScope::WholeFile, err);
  const int64_t records = book->contents.records;
  const int64_t keep = options.maxBytes / static_cast<int64_t>(ExperienceRecordBytes);
  // Newest Touch first, then lowest MoveNo, then file order: the first
  // `keep` rows of that order stay, in their own order.
  if (records > keep) {
    book->engine->store().Db().Execute(
        "delete from Openings where rowid not in (select rowid from Openings order by Touch desc, "
        "MoveNo asc, rowid asc limit " +
        std::to_string(keep) + ")");
  }
  const int64_t kept = StoreRowCount(*book->engine);
  out << "kept " << kept << " of " << records << " records within " << options.maxBytes
      << " bytes\n";
  return WriteBook(*book->engine, outPath, out, err) ? ExitDone : ExitFileFault;
}

}  // namespace quorvex::book

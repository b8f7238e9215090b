// quorvex-book merge: experience files trained apart, joined into one
// (experience_merge.h).

#include "book/experience_file.h"
#include "tools/book/book_output.h"
#include "tools/book/commands.h"
#include "tools/book/experience_input.h"
#include "tools/book/experience_merge.h"
#include "tools/book/run_stamp.h"

namespace quorvex::book {

namespace {

// The first file that holds rows, and what a brain loading it keeps.
struct FileKind {
  std::string path;
  int32_t brainTouch = 0;
  bool lasting() const { return brainTouch >= LastingTouch; }
};

std::string KindMismatch(const FileKind& first, const FileKind& other) {
  const FileKind& lasting = first.lasting() ? first : other;
  const FileKind& passing = first.lasting() ? other : first;
  return "files of different kinds: rows past stone 9 are kept by a brain loading " + lasting.path +
         " (its stamp " + std::to_string(lasting.brainTouch) + ") but not by one loading " +
         passing.path + " (its stamp " + std::to_string(passing.brainTouch) + ", below " +
         std::to_string(LastingTouch) + "); nothing is written";
}

}  // namespace

int RunMerge(const BookOptions& options, std::ostream& out, std::ostream& err) {
  const std::string& outPath = options.files[0];
  std::string error;
  if (!CheckWritable(outPath, error)) {
    err << "quorvex-book: " << error << "\n";
    return ExitFileFault;
  }
  // 1. Every file read and checked before anything is joined.
  std::vector<std::vector<ExperienceRecord>> files;
  std::optional<FileKind> kind;
  for (std::size_t i = 1; i < options.files.size(); ++i) {
    const std::string& path = options.files[i];
    std::optional<LoadedBook> book = LoadBook(path, ReadScope::WholeFile, 0, false, error);
    if (!book) {
      err << "quorvex-book: " << error << "; nothing is written\n";
      return ExitFileFault;
    }
    WarnAboutContents(path, book->contents, ReadScope::WholeFile, err);
    if (book->contents.records > 0) {
      const FileKind mine{path, book->contents.brainRunTouch};
      if (!kind) kind = mine;
      if (kind->lasting() != mine.lasting()) {
        err << "quorvex-book: " << KindMismatch(*kind, mine) << "\n";
        return ExitBadArguments;
      }
    }
    files.push_back(StoreRows(*book->engine));
  }

  // 2. The join, and the file.
  const MergedRecords merged = MergeRecords(files);
  if (!merged.error.empty()) {
    err << "quorvex-book: " << merged.error << "; nothing is written\n";
    return ExitFileFault;
  }
  files.clear();
  const auto engine = StartEmptyEngine(0);
  std::size_t next = 0;
  engine->store().LoadExperience([&](ExperienceRecord& record) {
    if (next == merged.rows.size()) return false;
    record = merged.rows[next++];
    return true;
  });
  out << "merged " << options.files.size() - 1 << " files: " << merged.rows.size() << " rows, "
      << merged.joined << " of them joined from " << merged.joinedFrom
      << " rows that several files hold\n";
  if (StoreRowCount(*engine) != static_cast<int64_t>(merged.rows.size())) {
    err << "quorvex-book: the store took only " << StoreRowCount(*engine) << " of the "
        << merged.rows.size() << " rows (out of memory?); nothing is written\n";
    return ExitFileFault;
  }
  if (!WriteBook(*engine, outPath, out, err)) return ExitFileFault;
  const uint64_t bytes = merged.rows.size() * ExperienceRecordBytes;
  if (bytes > MaxExperienceFileBytes) {
    err << "quorvex-book: warning: " << outPath << ": " << bytes
        << " bytes, of which a brain reads only the first " << MaxExperienceFileBytes
        << " (32 MiB); quorvex-book trim keeps the rows it is likeliest to use\n";
  }
  return ExitDone;
}

}  // namespace quorvex::book

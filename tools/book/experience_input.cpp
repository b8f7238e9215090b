#include "tools/book/experience_input.h"

#include <algorithm>

#include "game/move_buffer.h"
#include "tools/book/input_file.h"

namespace quorvex::book {

namespace {

constexpr int64_t kLowestPoint = -8;   // 1 + (11 - 20): a first stone on the far edge
constexpr int64_t kHighestPoint = 30;  // 20 + (11 - 1)
constexpr int64_t kLastMoveNo = MoveBufferEntries - 1;
constexpr uint64_t kRecordBytes = ExperienceRecordBytes;

// What no engine could have written into `record`, or empty.
std::string Implausible(const ExperienceRecord& record) {
  const auto point = [](int64_t v) { return v < kLowestPoint || v > kHighestPoint; };
  if (point(record.x) || point(record.y)) {
    return "its point " + std::to_string(record.x) + "," + std::to_string(record.y) +
           " lies outside -8..30";
  }
  if (record.moveNo < 1 || record.moveNo > kLastMoveNo) {
    return "its MoveNo " + std::to_string(record.moveNo) + " lies outside 1.." +
           std::to_string(kLastMoveNo);
  }
  return {};
}

// Hands the records to the store's load: first those read ahead for the
// head check, then the rest of the file, noting each on the way.
class CheckedRecords {
 public:
  CheckedRecords(ExperienceFileReader& file, const std::vector<ExperienceRecord>& head,
                 ExperienceContents& contents)
      : file_(file), head_(head), contents_(contents) {}

  bool Next(ExperienceRecord& record) {
    const std::size_t index = static_cast<std::size_t>(contents_.records);
    if (index < head_.size()) {
      record = head_[index];
    } else if (!file_.Next(record)) {
      return false;
    }
    Note(record);
    return true;
  }

  // The brain's stamp, from the records it would have loaded.
  int32_t BrainRunTouch() const { return ExperienceStore::RunTouchAbove(brainMaxTouch_); }

 private:
  void Note(const ExperienceRecord& record) {
    const int64_t index = contents_.records++;
    if (index < contents_.brainRecords) {
      brainMaxTouch_ = index == 0 ? record.touch : std::max(brainMaxTouch_, record.touch);
    }
    const std::string why = Implausible(record);
    if (why.empty()) return;
    if (contents_.implausible++ == 0) contents_.firstImplausible = why;
    if (contents_.implausibleOffsets.size() < ShownOffsets) {
      contents_.implausibleOffsets.push_back(static_cast<uint64_t>(index) * kRecordBytes);
    }
  }

  ExperienceFileReader& file_;
  const std::vector<ExperienceRecord>& head_;
  ExperienceContents& contents_;
  int64_t brainMaxTouch_ = 0;
};

std::string JunkError(const std::string& path, const std::vector<ExperienceRecord>& head) {
  std::string text = path + ": not an experience file: the record at offset 0 is none an " +
                     "engine writes (" + Implausible(head[0]) + ")";
  if (head.size() == 1) return text + ", and it is its only record";
  return text + ", nor is any other of its first " + std::to_string(head.size()) + " records";
}

}  // namespace

std::string FragmentError(const std::string& path, const ExperienceContents& contents) {
  return path + ": truncated: " + std::to_string(contents.fragmentBytes) + " bytes at offset " +
         std::to_string(contents.bytes - contents.fragmentBytes) + " are not a whole record of " +
         std::to_string(kRecordBytes) + " bytes";
}

std::string DescribeImplausible(const ExperienceContents& contents) {
  const bool one = contents.implausible == 1;
  std::string text = std::to_string(contents.implausible) + (one ? " record" : " records") +
                     " no engine writes, at offset" + (one ? " " : "s ");
  for (std::size_t i = 0; i < contents.implausibleOffsets.size(); ++i) {
    text += (i > 0 ? ", " : "") + std::to_string(contents.implausibleOffsets[i]);
  }
  if (contents.implausible > static_cast<int64_t>(contents.implausibleOffsets.size())) text += ", ...";
  return text + " (the first: " + contents.firstImplausible + ")";
}

void WarnAboutContents(const std::string& path, const ExperienceContents& contents,
                       ReadScope scope, std::ostream& err) {
  if (contents.implausible > 0) {
    err << "quorvex-book: warning: " << path << ": " << DescribeImplausible(contents)
        << "; read all the same, as a brain reads them\n";
  }
  if (contents.bytes <= MaxExperienceFileBytes) return;
  err << "quorvex-book: warning: " << path << ": " << contents.bytes
      << " bytes, of which a brain reads only the first " << MaxExperienceFileBytes
      << " (32 MiB): " << contents.brainRecords << " records";
  if (scope == ReadScope::AsABrain) err << ", and so does this command";
  err << "\n";
}

std::unique_ptr<Engine> StartEmptyEngine(uint32_t seed) {
  return std::make_unique<Engine>(
      EngineConfig{.experiencePath = "/dev/null", .clock = {}, .seed = seed});
}

std::unique_ptr<Engine> StartEngineFrom(const std::string& base, uint32_t seed, std::ostream& err,
                                        std::string& error) {
  if (base.empty()) return StartEmptyEngine(seed);
  std::optional<LoadedBook> book = LoadBook(base, ReadScope::AsABrain, seed, false, error);
  if (!book) return nullptr;
  WarnAboutContents(base, book->contents, ReadScope::AsABrain, err);
  return std::move(book->engine);
}

int64_t StoreRowCount(Engine& engine) { return engine.store().RowCount(); }

std::vector<ExperienceRecord> StoreRows(Engine& engine) { return engine.store().Rows(); }

std::optional<LoadedBook> LoadBook(const std::string& path, ReadScope scope, uint32_t seed,
                                   bool allowFragment, std::string& error) {
  // 1. A regular file, opened without waiting.
  LoadedBook book;
  ExperienceContents& contents = book.contents;
  std::FILE* opened = OpenInputFile(path, contents.bytes, error);
  if (opened == nullptr) return std::nullopt;
  const uint64_t limit = scope == ReadScope::AsABrain ? MaxExperienceFileBytes : MaxToolFileBytes;
  const uint64_t readBytes = std::min(contents.bytes, limit);
  ExperienceFileReader file(opened, readBytes);
  contents.fragmentBytes = contents.bytes % kRecordBytes;
  contents.brainRecords =
      static_cast<int64_t>(std::min(contents.bytes, MaxExperienceFileBytes) / kRecordBytes);

  // 2. What can be told before the load: a file none an engine wrote, one
  //    too large to read whole, one cut short.
  std::vector<ExperienceRecord> head;
  for (ExperienceRecord record; static_cast<int64_t>(head.size()) < HeadRecords && file.Next(record);) {
    head.push_back(record);
  }
  if (!head.empty() && std::all_of(head.begin(), head.end(), [](const ExperienceRecord& r) {
        return !Implausible(r).empty();
      })) {
    error = JunkError(path, head);
    return std::nullopt;
  }
  if (contents.bytes > limit && scope == ReadScope::WholeFile) {
    error = path + ": " + std::to_string(contents.bytes) + " bytes, more than quorvex-book reads (" +
            std::to_string(MaxToolFileBytes) + ", 128 MiB); a brain reads only the first " +
            std::to_string(MaxExperienceFileBytes) + " (32 MiB)";
    return std::nullopt;
  }
  if (contents.fragmentBytes != 0 && !allowFragment) {
    error = FragmentError(path, contents);
    return std::nullopt;
  }

  // 3. The brain's own load, fed in chunks from the open file.
  CheckedRecords records(file, head, contents);
  book.engine = StartEmptyEngine(seed);
  book.engine->store().LoadExperience(
      [&records](ExperienceRecord& record) { return records.Next(record); });
  contents.brainRunTouch = records.BrainRunTouch();

  // 4. Every record arrived, and the store holds each.
  const int64_t expected = static_cast<int64_t>(readBytes / kRecordBytes);
  if (contents.records != expected) {
    error = path + ": could be read only up to offset " +
            std::to_string(contents.records * static_cast<int64_t>(kRecordBytes)) + " of " +
            std::to_string(expected * static_cast<int64_t>(kRecordBytes)) +
            " (a read failed, or the file shrank meanwhile)";
    return std::nullopt;
  }
  if (const int64_t rows = StoreRowCount(*book.engine); rows != contents.records) {
    error = path + ": the store took only " + std::to_string(rows) + " of its " +
            std::to_string(contents.records) + " records (out of memory?)";
    return std::nullopt;
  }
  return book;
}

}  // namespace quorvex::book

#include "tools/book/experience_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "book/statement.h"
#include "engine/move_buffer.h"

namespace quorvex::book {

namespace {

constexpr int64_t kLowestPoint = -8;   // 1 + (11 - 20): a first stone on the far edge
constexpr int64_t kHighestPoint = 30;  // 20 + (11 - 1)
constexpr int64_t kLastMoveNo = MoveBufferEntries - 1;

// Closes the descriptor on every path.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

std::string Offset(std::size_t record) {
  return "offset " + std::to_string(record * ExperienceRecordBytes);
}

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

bool ReadAll(int fd, const std::string& path, ExperienceContents& contents, std::string& error) {
  std::vector<uint8_t> bytes;
  uint8_t chunk[1 << 16];
  for (;;) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = path + ": cannot be read at offset " + std::to_string(bytes.size()) + ": " +
              std::strerror(errno);
      return false;
    }
    if (n == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  contents.bytes = bytes.size();
  contents.fragmentBytes = bytes.size() % ExperienceRecordBytes;
  const std::size_t whole = bytes.size() / ExperienceRecordBytes;
  contents.records.reserve(whole);
  for (std::size_t i = 0; i < whole; ++i) {
    const ExperienceRecord record = DecodeExperienceRecord(bytes.data() + i * ExperienceRecordBytes);
    if (const std::string why = Implausible(record); !why.empty()) {
      error = path + ": not an experience file: the record at " + Offset(i) + " (record " +
              std::to_string(i + 1) + ") is none an engine writes: " + why;
      return false;
    }
    contents.records.push_back(record);
  }
  return true;
}

}  // namespace

std::string FragmentError(const std::string& path, const ExperienceContents& contents) {
  return path + ": truncated: " + std::to_string(contents.fragmentBytes) + " bytes at " +
         Offset(contents.records.size()) + " are not a whole record of " +
         std::to_string(ExperienceRecordBytes) + " bytes";
}

std::unique_ptr<Engine> StartEmptyEngine(uint32_t seed) {
  return std::make_unique<Engine>(
      EngineConfig{.experiencePath = "/dev/null", .clock = {}, .seed = seed});
}

std::unique_ptr<Engine> StartEngineFrom(const std::string& base, uint32_t seed, std::string& error) {
  if (base.empty()) return StartEmptyEngine(seed);
  std::optional<LoadedBook> book = LoadBook(base, seed, false, error);
  return book ? std::move(book->engine) : nullptr;
}

int64_t StoreRowCount(Engine& engine) {
  Statement count(engine.Store.Db(), "select count(*) from Openings");
  return count.Step() ? count.Int64(0) : 0;
}

std::vector<ExperienceRecord> StoreRows(Engine& engine) {
  Statement rows(engine.Store.Db(),
                 "select CRC, PrevCRC, X, Y, WINS, LOSSES, MoveNo, Touch from Openings order by "
                 "rowid");
  std::vector<ExperienceRecord> out;
  while (rows.Step()) {
    out.push_back({rows.Int64(0), rows.Int64(1), rows.Int64(2), rows.Int64(3), rows.Int64(4),
                   rows.Int64(5), rows.Int64(6), rows.Int64(7)});
  }
  return out;
}

std::optional<LoadedBook> LoadBook(const std::string& path, uint32_t seed, bool allowFragment,
                                   std::string& error) {
  // 1. The file itself: there, a regular file, readable.
  Descriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) {
    error = path + (errno == ENOENT ? std::string(": no such file")
                                    : ": cannot be opened: " + std::string(std::strerror(errno)));
    return std::nullopt;
  }
  struct stat info {};
  if (fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = path + ": not a regular file";
    return std::nullopt;
  }
  // 2. Every record checked.
  LoadedBook book;
  if (!ReadAll(file.fd, path, book.contents, error)) return std::nullopt;
  if (book.contents.fragmentBytes != 0 && !allowFragment) {
    error = FragmentError(path, book.contents);
    return std::nullopt;
  }
  // 3. The brain's own load, from the same open file: it cannot be swapped
  //    or removed in between, so nothing is created in its place.
  book.engine = std::make_unique<Engine>(EngineConfig{
      .experiencePath = "/proc/self/fd/" + std::to_string(file.fd), .clock = {}, .seed = seed});
  if (StoreRows(*book.engine) != book.contents.records) {
    error = path + 
            ": the store did not receive the records read (was the file changed meanwhile?)";
    return std::nullopt;
  }
  return book;
}

}  // namespace quorvex::book

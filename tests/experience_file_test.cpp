// The experience file: its records' encoding, and the brain started beside
// a file that is not what it should be. Whatever the file, the brain
// answers START with "OK" and plays legal moves, with the file's good
// records or an empty book, never crashes and never writes the file, nor
// anything a link points to.

#include "book/experience_file.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace quorvex {
namespace {

TEST(ExperienceRecord, EncodingAndDecodingAgree) {
  const ExperienceRecord record{
      -3470484881051396544, 7729052115359535890, -8, 30, -1, 32767, 410, -70999};
  uint8_t bytes[ExperienceRecordBytes] = {};
  EncodeExperienceRecord(record, bytes);
  EXPECT_EQ(bytes[16], 0xF8);
  EXPECT_EQ(bytes[18], 0xFF);
  EXPECT_EQ(bytes[19], 0xFF);
  EXPECT_EQ(DecodeExperienceRecord(bytes), record);
}

}  // namespace
}  // namespace quorvex

#ifndef _WIN32

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "book/experience_file.h"
#include "tests/experience_test_support.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

namespace fs = std::filesystem;

// The empty position's key and the key after one stone on the centre: the
// positions in which a brain opening with BEGIN, or answering a first TURN,
// looks up its book.
constexpr int64_t kEmptyBoardKey = 7729052115359535890;
constexpr int64_t kOneStoneKey = -3470484881051396544;

// Every field at both ends of its range, in records the brain looks up:
// continuations of its first positions whose points lie far off the board,
// with counts that make them the best, and stamps at both limits.
std::vector<ExperienceRecord> ExtremeRecords() {
  std::vector<ExperienceRecord> records;
  for (const int64_t prev : {kEmptyBoardKey, kOneStoneKey, INT64_MIN, INT64_MAX}) {
    records.push_back({INT64_MIN, prev, -128, 127, 32767, -32768, -32768, INT32_MIN});
    records.push_back({INT64_MAX, prev, 127, -128, -32768, 32767, 32767, INT32_MAX});
    records.push_back({0, prev, 127, 127, 32767, 0, 0, 0});
    records.push_back({-1, prev, 12, 12, 32767, 1, 2, INT32_MAX});
  }
  return records;
}

// Record i of a file that a test writes: a plain row with key i.
ExperienceRecord Numbered(int64_t i) { return {i, i + 1, 11, 12, 3, 1, 2, 70000}; }

test::Bytes NumberedRecords(int64_t from, int64_t count) {
  std::vector<ExperienceRecord> records;
  for (int64_t i = from; i < from + count; ++i) records.push_back(Numbered(i));
  return test::EncodeRecords(records);
}

// What the directory holds: names, kinds, sizes, modes and times, so that
// any write shows.
std::string Listing(const std::string& dir) {
  std::string listing;
  for (const auto& entry : fs::directory_iterator(dir)) {
    struct stat status {};
    lstat(entry.path().c_str(), &status);
    listing += entry.path().filename().string() + " mode " + std::to_string(status.st_mode) +
               " size " + std::to_string(status.st_size) + " mtime " +
               std::to_string(status.st_mtim.tv_sec) + "." +
               std::to_string(status.st_mtim.tv_nsec) + "\n";
  }
  return listing;
}

// Appends numbered records to `path` until stopped, in whole records, so
// the file always ends on a record boundary; at most `limit` bytes.
class GrowingFile {
 public:
  GrowingFile(const std::string& path, int64_t limit)
      : thread_([this, path, limit] {
          const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
          for (int64_t next = 0; fd >= 0 && !stop_ && written_ < limit; next += 1024) {
            const test::Bytes batch = NumberedRecords(next, 1024);
            if (write(fd, batch.data(), batch.size()) != static_cast<ssize_t>(batch.size())) break;
            written_ += static_cast<int64_t>(batch.size());
            std::this_thread::sleep_for(std::chrono::microseconds(200));
          }
          if (fd >= 0) close(fd);
        }) {}
  ~GrowingFile() { Stop(); }
  int64_t Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return written_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int64_t> written_{0};
  std::thread thread_;
};

// A directory of its own holding a copy of the brain, where the brain
// looks for its experience file.
struct BrainDir {
  BrainDir() {
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    fs::copy_file(QUORVEX_BRAIN_PATH, brain());
  }
  std::string brain() const { return dir.File("pbrain-quorvex"); }
  std::string experience() const { return dir.File("Experience.bin"); }
  test::TempDir dir;
};

// The records a reader yields from `path`, checked against `expected`
// (record n); -1 when one of them is not the expected one.
int64_t RecordsRead(const std::string& path,
                    const std::function<ExperienceRecord(int64_t)>& expected) {
  ExperienceFileReader reader(path);
  ExperienceRecord record;
  int64_t n = 0;
  bool good = true;
  while (reader.Next(record)) good = good && record == expected(n++);
  return good ? n : -1;
}

TEST(HostileExperienceFile, TheBrainStartsPlaysAndWritesNothing) {
  const int64_t capRecords = static_cast<int64_t>(MaxExperienceFileBytes / ExperienceRecordBytes);
  const auto none = [](int64_t) { return ExperienceRecord{}; };
  struct Case {
    const char* name;
    std::function<void(const BrainDir&)> make;
    int64_t records;  // what a reader yields; -1: not checked
    std::function<ExperienceRecord(int64_t)> record;
    bool asNobody = false;
  };
  const std::vector<Case> cases = {
      {"a directory named Experience.bin",
       [](const BrainDir& d) { fs::create_directory(d.experience()); }, 0, none},
      {"a dangling symbolic link",
       [](const BrainDir& d) { fs::create_symlink(d.dir.File("nowhere.bin"), d.experience()); },
       0, none},
      {"a named pipe that nobody writes",
       [](const BrainDir& d) { ASSERT_EQ(mkfifo(d.experience().c_str(), 0644), 0); }, 0, none},
      {"a file that cannot be read",
       [](const BrainDir& d) {
         test::WriteBytes(d.experience(), NumberedRecords(0, 10));
         fs::permissions(d.experience(), fs::perms::none);
       },
       -1, none, true},
      {"a sparse file of 1 GB, read up to the cap",
       [](const BrainDir& d) {
         test::WriteBytes(d.experience(), NumberedRecords(0, 100));
         fs::resize_file(d.experience(), uint64_t{1} << 30);
       },
       capRecords, [](int64_t n) { return n < 100 ? Numbered(n) : ExperienceRecord{}; }},
      {"every field at its extremes",
       [](const BrainDir& d) {
         test::WriteBytes(d.experience(), test::EncodeRecords(ExtremeRecords()));
       },
       static_cast<int64_t>(ExtremeRecords().size()),
       [](int64_t n) { return ExtremeRecords()[static_cast<std::size_t>(n)]; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BrainDir d;
    c.make(d);
    const std::string before = Listing(d.dir.path());
    if (c.records >= 0) {
      EXPECT_EQ(RecordsRead(d.experience(), c.record), c.records);
    }
    test::BrainProcess brain(d.brain(), c.asNobody);
    EXPECT_EQ(test::PlayShortGame(brain, 6), "");
    brain.Send("END\r\n");
    EXPECT_EQ(brain.Wait(), 0);
    EXPECT_EQ(Listing(d.dir.path()), before) << "the brain wrote in its directory";
  }
}

TEST(HostileExperienceFile, AFileGrowingWhileTheBrainStartsIsReadAsItWasWhenOpened) {
  constexpr int64_t kFirst = 1000;
  constexpr int64_t kLimit = int64_t{48} << 20;
  constexpr auto kRecordBytes = static_cast<int64_t>(ExperienceRecordBytes);
  // The file starts with records 0..999, and the writer appends 0, 1, 2...
  const auto expected = [](int64_t n) { return Numbered(n < kFirst ? n : n - kFirst); };
  for (const bool throughTheBrain : {false, true}) {
    SCOPED_TRACE(throughTheBrain ? "the brain" : "a reader");
    BrainDir d;
    test::WriteBytes(d.experience(), NumberedRecords(0, kFirst));
    GrowingFile growing(d.experience(), kLimit);
    if (throughTheBrain) {
      test::BrainProcess brain(d.brain());
      EXPECT_EQ(test::PlayShortGame(brain, 6), "");
      brain.Send("END\r\n");
      EXPECT_EQ(brain.Wait(), 0);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      const int64_t read = RecordsRead(d.experience(), expected);
      EXPECT_GE(read, kFirst) << "-1: a record read is not the one written there";
      EXPECT_LE(read * kRecordBytes, kFirst * kRecordBytes + growing.Stop());
    }
    // Nobody but the writer changed the file.
    const int64_t written = growing.Stop();
    EXPECT_EQ(static_cast<int64_t>(fs::file_size(d.experience())), kFirst * kRecordBytes + written);
  }
}

}  // namespace
}  // namespace quorvex

#endif  // the files and the processes are POSIX ones

#pragma once
// The experience file: a plain sequence of 28-byte records, no header, no
// count, no trailer. Each record is one row of `Openings`; all fields are
// signed two's-complement, little-endian, without gaps:
//
//   offset 0  int64 CRC       offset 16 int8  X      offset 22 int16 MoveNo
//   offset 8  int64 PrevCRC   offset 17 int8  Y      offset 24 int32 Touch
//                             offset 18 int16 WINS
//                             offset 20 int16 LOSSES
//
// The engine only reads the file; writing is for the tools and tests that
// make files.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace quorvex {

inline constexpr std::size_t ExperienceRecordBytes = 28;

// The most of a file that is read: 32 MiB, four times what a whole Gomocup
// upload may hold (8 MB) and about 1.2 million records. The store takes some
// three bytes of memory for every byte loaded (about 100 MB for a full
// 32 MiB, against Gomocup's 350 MB), and loading it takes about two seconds,
// so a brain handed a larger file still starts in time and within its
// memory. The records beyond are not read.
inline constexpr std::uint64_t MaxExperienceFileBytes = std::uint64_t{32} << 20;

// One record, every field widened with its sign (a WINS of 0xFFFF is -1,
// an X of 0xF8 is -8).
struct ExperienceRecord {
  int64_t crc = 0;
  int64_t prevCrc = 0;
  int64_t x = 0;
  int64_t y = 0;
  int64_t wins = 0;
  int64_t losses = 0;
  int64_t moveNo = 0;
  int64_t touch = 0;

  bool operator==(const ExperienceRecord&) const = default;
};

// Reads the record in the 28 bytes at `bytes`.
ExperienceRecord DecodeExperienceRecord(const uint8_t* bytes);

// Writes `record` into the 28 bytes at `out`, each field cut to its width.
void EncodeExperienceRecord(const ExperienceRecord& record, uint8_t* out);

// Reads an experience file front to back.
//
// The file is opened for reading only and never written, so a file
// installed where the brain cannot write still loads. What is read is fixed
// when the file is opened: the bytes it holds at that moment, up to
// MaxExperienceFileBytes; bytes another process appends meanwhile are not
// read, and a trailing fragment shorter than a record is ignored. Anything
// but a regular file (a directory, a pipe, a device) and a file that cannot
// be opened read as empty. A missing file is created empty when the
// directory allows, but never through a symbolic link: a dangling link
// stays dangling.
class ExperienceFileReader {
 public:
  explicit ExperienceFileReader(const std::string& path);
  // For a tool that opened the file itself: reads the whole records among
  // the next `bytes` bytes of `file` (no MaxExperienceFileBytes here), and
  // closes it at the end. A null `file` reads as empty.
  ExperienceFileReader(std::FILE* file, std::uint64_t bytes);
  ~ExperienceFileReader();
  ExperienceFileReader(const ExperienceFileReader&) = delete;
  ExperienceFileReader& operator=(const ExperienceFileReader&) = delete;

  // The next whole record in file order; false at the end.
  bool Next(ExperienceRecord& record);

 private:
  bool Refill();

  std::FILE* file_ = nullptr;
  std::uint64_t unread_ = 0;  // bytes of the file still to be read
  std::vector<uint8_t> buffer_;
  std::size_t begin_ = 0;  // first unread byte in buffer_
  std::size_t end_ = 0;    // one past the last byte read into buffer_
};

}  // namespace quorvex

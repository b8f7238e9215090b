#include "book/experience_file.h"

#include <algorithm>
#include <cstring>

#include "platform/read_only_file.h"

namespace quorvex {

namespace {

constexpr std::size_t RecordsPerRead = 4096;

uint64_t ReadLittleEndian(const uint8_t* bytes, int size) {
  uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

void WriteLittleEndian(uint64_t value, uint8_t* out, int size) {
  for (int i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

ExperienceRecord DecodeExperienceRecord(const uint8_t* bytes) {
  ExperienceRecord record;
  record.crc = static_cast<int64_t>(ReadLittleEndian(bytes + 0, 8));
  record.prevCrc = static_cast<int64_t>(ReadLittleEndian(bytes + 8, 8));
  record.x = static_cast<int8_t>(bytes[16]);
  record.y = static_cast<int8_t>(bytes[17]);
  record.wins = static_cast<int16_t>(ReadLittleEndian(bytes + 18, 2));
  record.losses = static_cast<int16_t>(ReadLittleEndian(bytes + 20, 2));
  record.moveNo = static_cast<int16_t>(ReadLittleEndian(bytes + 22, 2));
  record.touch = static_cast<int32_t>(ReadLittleEndian(bytes + 24, 4));
  return record;
}

void EncodeExperienceRecord(const ExperienceRecord& record, uint8_t* out) {
  WriteLittleEndian(static_cast<uint64_t>(record.crc), out + 0, 8);
  WriteLittleEndian(static_cast<uint64_t>(record.prevCrc), out + 8, 8);
  WriteLittleEndian(static_cast<uint64_t>(record.x), out + 16, 1);
  WriteLittleEndian(static_cast<uint64_t>(record.y), out + 17, 1);
  WriteLittleEndian(static_cast<uint64_t>(record.wins), out + 18, 2);
  WriteLittleEndian(static_cast<uint64_t>(record.losses), out + 20, 2);
  WriteLittleEndian(static_cast<uint64_t>(record.moveNo), out + 22, 2);
  WriteLittleEndian(static_cast<uint64_t>(record.touch), out + 24, 4);
}

namespace {

std::FILE* OpenOrCreate(const std::string& path, std::uint64_t& bytes) {
  ReadOpenFault fault = ReadOpenFault::None;
  std::FILE* file = OpenRegularFileForReading(path, bytes, fault);
  // A fresh file has nothing to read.
  if (fault == ReadOpenFault::Missing) CreateEmptyFileIfAbsent(path);
  bytes = std::min(bytes, MaxExperienceFileBytes);
  return file;
}

}  // namespace

ExperienceFileReader::ExperienceFileReader(const std::string& path) {
  file_ = OpenOrCreate(path, unread_);
  if (file_ != nullptr) buffer_.resize(RecordsPerRead * ExperienceRecordBytes);
}

ExperienceFileReader::ExperienceFileReader(std::FILE* file, std::uint64_t bytes)
    : file_(file), unread_(file != nullptr ? bytes : 0) {
  if (file_ != nullptr) buffer_.resize(RecordsPerRead * ExperienceRecordBytes);
}

ExperienceFileReader::~ExperienceFileReader() {
  if (file_ != nullptr) std::fclose(file_);
}

bool ExperienceFileReader::Next(ExperienceRecord& record) {
  if (end_ - begin_ < ExperienceRecordBytes && !Refill()) return false;
  record = DecodeExperienceRecord(buffer_.data() + begin_);
  begin_ += ExperienceRecordBytes;
  return true;
}

// Moves the unread bytes to the front and reads until a whole record is
// buffered or the file ends.
bool ExperienceFileReader::Refill() {
  if (file_ == nullptr) return false;
  const std::size_t left = end_ - begin_;
  std::memmove(buffer_.data(), buffer_.data() + begin_, left);
  begin_ = 0;
  end_ = left;
  while (end_ < ExperienceRecordBytes) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(buffer_.size() - end_, unread_));
    const std::size_t got = want == 0 ? 0 : std::fread(buffer_.data() + end_, 1, want, file_);
    if (got == 0) return false;
    end_ += got;
    unread_ -= got;
  }
  return true;
}

}  // namespace quorvex

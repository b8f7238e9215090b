#include "book/experience_file.h"

#include <cerrno>
#include <cstring>

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

ExperienceFileReader::ExperienceFileReader(const std::string& path) {
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr && errno == ENOENT) {
    // Append mode creates the file without ever truncating one that
    // appeared meanwhile; a fresh file has nothing to read.
    if (std::FILE* created = std::fopen(path.c_str(), "ab")) std::fclose(created);
  }
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
    const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (got == 0) return false;
    end_ += got;
  }
  return true;
}

}  // namespace quorvex

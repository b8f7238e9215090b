#include "book/experience_write.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "book/experience_file.h"
#include "book/statement.h"
#include "platform/replacing_file.h"

namespace quorvex {

namespace {

constexpr std::size_t RecordsPerWrite = 4096;
constexpr const char* RowsSql =
    "select rowid, CRC, PrevCRC, X, Y, WINS, LOSSES, MoveNo, Touch from Openings order by rowid";

template <typename Field>
bool Fits(int64_t value) {
  return value >= std::numeric_limits<Field>::min() && value <= std::numeric_limits<Field>::max();
}

int64_t SaturateInt16(int64_t value) {
  return std::clamp<int64_t>(value, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
}

// The first field of `record` that no clamping may change, or empty.
std::string RefusedField(const ExperienceRecord& record) {
  const auto says = [](const char* name, int64_t value, const char* width) {
    return std::string(name) + " " + std::to_string(value) + " does not fit its " + width;
  };
  if (!Fits<int8_t>(record.x)) return says("X", record.x, "int8");
  if (!Fits<int8_t>(record.y)) return says("Y", record.y, "int8");
  if (!Fits<int16_t>(record.moveNo)) return says("MoveNo", record.moveNo, "int16");
  if (!Fits<int32_t>(record.touch)) return says("Touch", record.touch, "int32");
  return {};
}

}  // namespace

ExperienceWriteResult WriteExperienceFile(Database& db, const std::string& path) {
  ExperienceWriteResult result;
  Statement rows(db, RowsSql);
  if (!rows.Ok()) {
    result.error = "cannot write " + path + ": the store has no table Openings to read";
    return result;
  }
  ReplacingFile file(path);
  if (!file.Open(result.error)) return result;

  std::vector<uint8_t> buffer;
  buffer.reserve(RecordsPerWrite * ExperienceRecordBytes);
  const auto flush = [&] {
    const bool ok = file.Write(buffer.data(), buffer.size(), result.error);
    buffer.clear();
    return ok;
  };
  // 1. Every row, in the order it entered the table.
  while (rows.Step()) {
    ExperienceRecord record{rows.Int64(1), rows.Int64(2), rows.Int64(3), rows.Int64(4),
                            rows.Int64(5), rows.Int64(6), rows.Int64(7), rows.Int64(8)};
    // 2. Counts saturate; any other field too wide refuses the write.
    if (const std::string refused = RefusedField(record); !refused.empty()) {
      result.error = "cannot write " + path + ": row " + std::to_string(rows.Int64(0)) +
                     " of the store: " + refused;
      return result;
    }
    const int64_t wins = SaturateInt16(record.wins);
    const int64_t losses = SaturateInt16(record.losses);
    if (wins != record.wins || losses != record.losses) ++result.saturatedRows;
    record.wins = wins;
    record.losses = losses;
    buffer.resize(buffer.size() + ExperienceRecordBytes);
    EncodeExperienceRecord(record, buffer.data() + buffer.size() - ExperienceRecordBytes);
    ++result.records;
    if (buffer.size() == RecordsPerWrite * ExperienceRecordBytes && !flush()) return result;
  }
  if (!rows.Finished()) {
    result.error = "cannot write " + path + ": reading the store broke off";
    return result;
  }
  // 3. The whole file takes the old one's place at once.
  if (!flush() || !file.Commit(result.error)) return result;
  if (result.saturatedRows > 0) {
    result.warning = std::to_string(result.saturatedRows) +
                     " rows had WINS or LOSSES beyond the int16 range; written as -32768 or 32767";
  }
  result.ok = true;
  return result;
}

}  // namespace quorvex

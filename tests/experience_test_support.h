#pragma once
// Helpers for the experience store's tests: files of records and the rows
// of the table.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "book/database.h"
#include "book/experience_file.h"
#include "book/statement.h"

namespace quorvex::test {

using Bytes = std::vector<uint8_t>;

inline Bytes EncodeRecords(const std::vector<ExperienceRecord>& records) {
  Bytes bytes(records.size() * ExperienceRecordBytes);
  for (std::size_t i = 0; i < records.size(); ++i)
    EncodeExperienceRecord(records[i], bytes.data() + i * ExperienceRecordBytes);
  return bytes;
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Every row of `Openings` in table order.
inline std::vector<ExperienceRecord> TableRows(Database& db) {
  Statement rows(db, "select * from Openings order by rowid");
  std::vector<ExperienceRecord> out;
  while (rows.Step()) {
    out.push_back({rows.Int64("CRC"), rows.Int64("PrevCRC"), rows.Int64("X"), rows.Int64("Y"),
                   rows.Int64("WINS"), rows.Int64("LOSSES"), rows.Int64("MoveNo"),
                   rows.Int64("Touch")});
  }
  return out;
}

}  // namespace quorvex::test

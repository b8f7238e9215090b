// The experience file load on arbitrary file contents. What must hold:
//   - the table holds one row per whole 28-byte record of the file, never
//     more, a trailing fragment giving none;
//   - the rows are the decoded records, field for field, in file order;
//   - RunTouch is one above the highest Touch, at most the largest 32-bit
//     number, or 1 for an empty table.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "book/experience_file.h"
#include "book/experience_store.h"
#include "fuzz/fuzz_check.h"
#include "tests/experience_test_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace quorvex;
  const std::string path = fuzz::ScratchDirectory() + "/Experience.bin";
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    fuzz::Require(file.good(), "cannot write the experience file");
  }
  ExperienceStore store;
  store.LoadExperience(path);

  const std::vector<ExperienceRecord> rows = test::TableRows(store.Db());
  fuzz::Require(rows.size() == size / ExperienceRecordBytes, "rows are not the whole records");
  int64_t maxTouch = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    fuzz::Require(rows[i] == DecodeExperienceRecord(data + i * ExperienceRecordBytes),
                  "a row differs from its record");
    maxTouch = i == 0 ? rows[i].touch : std::max(maxTouch, rows[i].touch);
  }
  const int32_t runTouch = rows.empty() ? 1 : static_cast<int32_t>(std::min<int64_t>(maxTouch + 1, INT32_MAX));
  fuzz::Require(store.RunTouch() == runTouch, "RunTouch is not one above the highest Touch");
  return 0;
}

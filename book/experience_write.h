#pragma once
// Writing a store back to an experience file (experience_file.h), for the
// tools that make such files and for the brain's store dump. The engine
// itself never writes Experience.bin.
//
// Reads: every row of `Openings` in rowid order, the order in which the
// rows entered the table. A file loaded by LoadExperience enters its
// records in file order, so loading a written file gives a brain the same
// rows in the same order, and loading then writing a file gives back the
// same bytes.
//
// Writes: the file at `path`, atomically (replacing_file.h): a failed or
// interrupted write leaves whatever was there before untouched.
//
// Values wider than their field:
//   - WINS and LOSSES saturate at the int16 limits (-32768, 32767), and the
//     result carries a warning counting the rows so clamped. The lookup
//     reads every count beyond 20000 alike (wins above it score as forced
//     wins, losses above it as forced losses), so a clamped count keeps the
//     row's verdict.
//   - X, Y (int8), MoveNo (int16) and Touch (int32) out of range refuse the
//     whole write with an error naming the row: a changed point, move
//     number or stamp would be another move, not the same one rounded.
// Nothing is ever cut to its width silently.

#include <cstdint>
#include <string>

#include "book/database.h"

namespace quorvex {

struct ExperienceWriteResult {
  bool ok = false;
  std::string error;           // why nothing was written, when !ok
  int64_t records = 0;         // records written
  int64_t saturatedRows = 0;   // rows whose WINS or LOSSES was clamped
  std::string warning;         // says so, when saturatedRows > 0
};

// Writes the rows of `Openings` on `db` to `path`. A database without the
// table (or closed) is an error, not an empty file.
ExperienceWriteResult WriteExperienceFile(Database& db, const std::string& path);

}  // namespace quorvex

#pragma once
// Joining experience files that were trained apart, on different openings,
// into one file: the rule of quorvex-book merge.
//
// Rows are told apart by CRC, X and Y, as the engine's recording tells a
// move it already holds (the position after the move, and its point):
//   - A row whose CRC, X, Y no other file holds is kept as it is, with any
//     duplicate of it in its own file.
//   - The rows of a CRC, X, Y that two files or more hold become one row,
//     at the place of the first of them: PrevCRC and MoveNo the first's,
//     WINS and LOSSES the sums over every one of those rows, Touch the
//     highest. The rules by which learning bounds counts then run on these
//     joined rows, and on no others (ExperienceStore::BoundCounts: a seeded
//     forced win that has lost more than once falls back to 1 win, then
//     each count is capped at 3 above the other).
//   - Order: the files in the order given, each in its own order; a joined
//     row stands where its first row stood.
//
// The engine's code does the bounding, in a store of its own holding only
// the joined rows, so the sums are bounded exactly as learning would bound
// them, statement for statement.

#include <cstdint>
#include <string>
#include <vector>

#include "book/experience_file.h"

namespace quorvex::book {

struct MergedRecords {
  std::vector<ExperienceRecord> rows;
  int64_t joined = 0;      // rows made by joining
  int64_t joinedFrom = 0;  // the rows of the files that went into them
  std::string error;       // set when the joined rows could not be bounded
};

// `files` holds each file's rows in file order.
MergedRecords MergeRecords(const std::vector<std::vector<ExperienceRecord>>& files);

}  // namespace quorvex::book

#include "book/experience_store.h"
#include "book/statement.h"

// ExperienceStore::Rows and RowCount: the table as records.

namespace quorvex {

std::vector<ExperienceRecord> ExperienceStore::Rows() {
  Statement rows(db_,
                 "select CRC, PrevCRC, X, Y, WINS, LOSSES, MoveNo, Touch from Openings order by "
                 "rowid");
  std::vector<ExperienceRecord> out;
  while (rows.Step()) {
    out.push_back({rows.Int64(0), rows.Int64(1), rows.Int64(2), rows.Int64(3), rows.Int64(4),
                   rows.Int64(5), rows.Int64(6), rows.Int64(7)});
  }
  return out;
}

int64_t ExperienceStore::RowCount() {
  Statement count(db_, "select count(*) from Openings");
  return count.Step() ? count.Int64(0) : 0;
}

}  // namespace quorvex

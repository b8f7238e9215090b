#include <cstdint>
#include <string>

#include "book/experience_store.h"
#include "book/statement.h"

namespace quorvex {

namespace {

// Counts above 10000 can only come from the threat search's verdicts; they
// are stored at a tenth (integer division).
int32_t ScaleCount(int32_t count) { return count > 10000 ? count / 10 : count; }

std::string PresenceSql(int64_t key, int32_t x, int32_t y) {
  return "select * from Openings where CRC = " + std::to_string(key) +
         " and X = " + std::to_string(x) + "  and Y = " + std::to_string(y);
}

std::string InsertSql(int64_t key, int64_t prevKey, int32_t x, int32_t y, int32_t wins,
                      int32_t losses, int32_t moveNo, int32_t touch) {
  return "Insert into Openings(CRC,PrevCRC,X,Y,WINS,LOSSES, MoveNo, Touch) values(" +
         std::to_string(key) + "," + std::to_string(prevKey) + "," + std::to_string(x) + "," +
         std::to_string(y) + "," + std::to_string(wins) + "," + std::to_string(losses) + ", " +
         std::to_string(moveNo) + "," + std::to_string(touch) + ")";
}

}  // namespace

void ExperienceStore::RecordMove(int64_t key, int64_t prevKey, int32_t x, int32_t y, int32_t moveNo,
                                 int32_t wins, int32_t losses) {
  // 1. Is a row with this key and point present? Only the low 32 bits of
  //    the CRC found count: a key whose low half is zero is never present,
  //    and with no row (or a failed query) the CRC reads as 0.
  Statement present(db_, PresenceSql(key, x, y));
  present.Step();
  const bool isPresent = static_cast<uint32_t>(present.Int64(0)) != 0;
  // 2. Threat-search counts are stored scaled down.
  wins = ScaleCount(wins);
  losses = ScaleCount(losses);
  // 3. A present row keeps its counts and its stamp.
  if (!isPresent) db_.Execute(InsertSql(key, prevKey, x, y, wins, losses, moveNo, runTouch_));
}

}  // namespace quorvex

#include <cstdint>
#include <string>

#include "book/experience_file.h"
#include "book/experience_store.h"
#include "book/statement.h"
#include "book/transaction.h"

namespace quorvex {

namespace {

constexpr const char* CreateTableSql =
    "CREATE TABLE Openings (CRC int, PrevCRC int, X INT, Y INT, WINS INT, LOSSES INT, MoveNo "
    "INT, Touch INT);";
constexpr const char* CreateKeyIndexSql = "CREATE Index Search on Openings (CRC);";
// The lookup selects by PrevCRC. An index on that one column hands back
// rows of equal PrevCRC in rowid order, the order a table scan gives, so
// the lookup finds the same rows in the same order, only without reading
// the whole table.
constexpr const char* CreatePrevKeyIndexSql = "CREATE Index SearchPrev on Openings (PrevCRC);";
// One prepared insert for all file rows, inside one transaction: the same
// rows, in the same order, as one literal insert statement per record.
constexpr const char* InsertFileRowSql =
    "Insert into Openings(CRC,PrevCRC,X,Y,WINS,LOSSES, MoveNo, touch) values(?,?,?,?,?,?,?,?)";
constexpr const char* MaxTouchSql = "Select max(touch) as MaxTouch from openings";

void InsertFileRows(Database& db, const std::string& path) {
  ExperienceFileReader file(path);
  Transaction transaction(db);
  Statement insert(db, InsertFileRowSql);
  ExperienceRecord record;
  while (file.Next(record)) {
    insert.Bind(1, record.crc);
    insert.Bind(2, record.prevCrc);
    insert.Bind(3, record.x);
    insert.Bind(4, record.y);
    insert.Bind(5, record.wins);
    insert.Bind(6, record.losses);
    insert.Bind(7, record.moveNo);
    insert.Bind(8, record.touch);
    insert.Run();  // a failing insert is skipped, the load goes on
    insert.Reset();
  }
  transaction.Commit();
}

}  // namespace

void ExperienceStore::LoadExperience(const std::string& path) {
  // 1. A fresh in-memory database with the table.
  db_.Open(":memory:");
  db_.Execute(CreateTableSql);
  // 2. Every whole record of the file, in file order.
  InsertFileRows(db_, path);
  // 3. The indexes, after the rows, so the load does not maintain them row
  //    by row.
  db_.Execute(CreateKeyIndexSql);
  db_.Execute(CreatePrevKeyIndexSql);
  // 4. This run's stamp: one above the newest stamp in the table.
  Statement maxTouch(db_, MaxTouchSql);
  maxTouch.Step();
  runTouch_ = static_cast<int32_t>(int64_t{maxTouch.Int("MaxTouch")} + 1);
}

}  // namespace quorvex

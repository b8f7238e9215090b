#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

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
// File rows go in through prepared inserts of many rows at a time, inside
// one transaction: the same rows, in the same order, as one literal insert
// statement per record, for a fraction of the statement runs.
constexpr int32_t RowsPerInsert = 64;
constexpr const char* InsertFileRowsSql =
    "Insert into Openings(CRC,PrevCRC,X,Y,WINS,LOSSES, MoveNo, touch) values";
constexpr const char* FileRowValues = "(?,?,?,?,?,?,?,?)";
constexpr int FileRowColumns = 8;  // the placeholders of one row

std::string InsertText(int32_t rows) {
  std::string text = InsertFileRowsSql;
  for (int32_t i = 0; i < rows; ++i) {
    if (i > 0) text += ",";
    text += FileRowValues;
  }
  return text;
}

void BindRow(Statement& insert, int32_t row, const ExperienceRecord& record) {
  const int first = FileRowColumns * row;
  insert.Bind(first + 1, record.crc);
  insert.Bind(first + 2, record.prevCrc);
  insert.Bind(first + 3, record.x);
  insert.Bind(first + 4, record.y);
  insert.Bind(first + 5, record.wins);
  insert.Bind(first + 6, record.losses);
  insert.Bind(first + 7, record.moveNo);
  insert.Bind(first + 8, record.touch);
}

constexpr const char* MaxTouchSql = "Select max(touch) as MaxTouch from openings";

void InsertFileRows(Database& db, const ExperienceStore::RecordSource& next) {
  Transaction transaction(db);
  Statement many(db, InsertText(RowsPerInsert));
  Statement one(db, InsertText(1));
  std::vector<ExperienceRecord> batch(RowsPerInsert);
  for (;;) {
    int32_t rows = 0;
    while (rows < RowsPerInsert && next(batch[static_cast<std::size_t>(rows)])) ++rows;
    if (rows == RowsPerInsert && many.Ok()) {
      for (int32_t row = 0; row < rows; ++row) BindRow(many, row, batch[static_cast<std::size_t>(row)]);
      // A batch that fails as a whole goes in row by row, so that only
      // the failing rows are skipped, as a statement per record would.
      if (many.Run()) {
        many.Reset();
        continue;
      }
      many.Reset();
    }
    for (int32_t row = 0; row < rows; ++row) {
      BindRow(one, 0, batch[static_cast<std::size_t>(row)]);
      one.Run();  // a failing insert is skipped, the load goes on
      one.Reset();
    }
    if (rows < RowsPerInsert) break;
  }
  transaction.Commit();
}

}  // namespace

void ExperienceStore::LoadExperience(const std::string& path) {
  ExperienceFileReader file(path);
  LoadExperience([&file](ExperienceRecord& record) { return file.Next(record); });
}

void ExperienceStore::LoadExperience(const RecordSource& next) {
  // 1. A fresh in-memory database with the table.
  db_.Open(":memory:");
  db_.Execute(CreateTableSql);
  // 2. Every whole record of the file, in file order.
  InsertFileRows(db_, next);
  // 3. The indexes, after the rows, so the load does not maintain them row
  //    by row.
  db_.Execute(CreateKeyIndexSql);
  db_.Execute(CreatePrevKeyIndexSql);
  // 4. This run's stamp: one above the newest stamp in the table.
  Statement maxTouch(db_, MaxTouchSql);
  maxTouch.Step();
  runTouch_ = RunTouchAbove(maxTouch.Int("MaxTouch"));
}

int32_t ExperienceStore::RunTouchAbove(int64_t maxTouch) {
  // A file stamped with the largest 32-bit Touch keeps that stamp: one
  // above it would wrap to the smallest, and every learning step would then
  // trim the rows this run stamps.
  return static_cast<int32_t>(std::min<int64_t>(maxTouch + 1, INT32_MAX));
}

}  // namespace quorvex

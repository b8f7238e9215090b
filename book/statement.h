#pragma once
// One prepared statement on a Database: a query stepped row by row, or a
// statement bound and run again and again.
//
// Reads: columns of the current row, found by position or by exact,
// case-sensitive name (the declared name for "Select *", the alias after
// "as"). A NULL, a missing column, no current row or a statement that
// failed to prepare all read as 0 (or as empty text). Values are read as 32-bit integers
// (the low 32 bits of what is stored) or as 64-bit integers.
// Guarantees: finalized when it goes, on every path; the connection stays
// alive until its last statement is finalized, whatever the order in which
// the objects go.

#include <cstdint>
#include <string>
#include <string_view>

#include "book/database.h"

struct sqlite3_stmt;

namespace quorvex {

class Statement {
 public:
  // Prepares the first statement of `sql`; Ok() tells whether it worked.
  Statement(Database& db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool Ok() const { return stmt_ != nullptr; }

  // Advances to the next row: true when one is ready, false at the end or
  // on a failure (after which every read gives 0).
  bool Step();

  // True once Step() has gone past the last row without a failure, so a
  // reader can tell the end of the rows from a query that broke off.
  bool Finished() const { return finished_; }

  // Steps to completion; true if the statement finished without failing.
  bool Run();

  // Makes the statement ready to run again; bound values stay.
  void Reset();

  // Binds `value` to parameter `index` (1-based).
  bool Bind(int index, int64_t value);

  // Position of the result column called exactly `name`, or -1.
  int ColumnIndex(std::string_view name) const;

  int32_t Int(int column) const;
  int64_t Int64(int column) const;
  int32_t Int(std::string_view name) const { return Int(ColumnIndex(name)); }
  int64_t Int64(std::string_view name) const { return Int64(ColumnIndex(name)); }
  // The value as text; empty where an integer read would give 0.
  std::string Text(std::string_view name) const;

 private:
  bool Readable(int column) const;

  sqlite3_stmt* stmt_ = nullptr;
  bool hasRow_ = false;
  bool finished_ = false;
};

}  // namespace quorvex

#include "book/statement.h"

#include <sqlite3.h>

namespace quorvex {

Statement::Statement(Database& db, std::string_view sql) {
  db.Notify(sql);
  if (db.db_ == nullptr) return;
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db.db_, sql.data(), static_cast<int>(sql.size()), &raw, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(raw);
    return;
  }
  stmt_ = raw;
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

bool Statement::Step() {
  const int stepped = stmt_ != nullptr ? sqlite3_step(stmt_) : SQLITE_MISUSE;
  hasRow_ = stepped == SQLITE_ROW;
  finished_ = stepped == SQLITE_DONE;
  return hasRow_;
}

bool Statement::Run() {
  if (stmt_ == nullptr) return false;
  int stepped = SQLITE_ROW;
  while (stepped == SQLITE_ROW) stepped = sqlite3_step(stmt_);
  hasRow_ = false;
  finished_ = stepped == SQLITE_DONE;
  return finished_;
}

void Statement::Reset() {
  hasRow_ = false;
  finished_ = false;
  if (stmt_ != nullptr) sqlite3_reset(stmt_);
}

bool Statement::Bind(int index, int64_t value) {
  return stmt_ != nullptr && sqlite3_bind_int64(stmt_, index, value) == SQLITE_OK;
}

int Statement::ColumnIndex(std::string_view name) const {
  if (stmt_ == nullptr) return -1;
  const int count = sqlite3_column_count(stmt_);
  for (int i = 0; i < count; ++i) {
    const char* column = sqlite3_column_name(stmt_, i);
    if (column != nullptr && name == column) return i;
  }
  return -1;
}

bool Statement::Readable(int column) const {
  return hasRow_ && column >= 0 && column < sqlite3_column_count(stmt_);
}

int32_t Statement::Int(int column) const {
  return Readable(column) ? sqlite3_column_int(stmt_, column) : 0;
}

int64_t Statement::Int64(int column) const {
  return Readable(column) ? sqlite3_column_int64(stmt_, column) : 0;
}

std::string Statement::Text(std::string_view name) const {
  const int column = ColumnIndex(name);
  if (!Readable(column)) return {};
  const unsigned char* text = sqlite3_column_text(stmt_, column);
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
}

}  // namespace quorvex

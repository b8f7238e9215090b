#include "book/database.h"

#include <sqlite3.h>

#include <memory>
#include <utility>

namespace quorvex {

namespace {

struct Finalizer {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using OwnedStatement = std::unique_ptr<sqlite3_stmt, Finalizer>;

}  // namespace

bool Database::Open(const std::string& name) {
  sqlite3_close_v2(std::exchange(db_, nullptr));
  sqlite3* handle = nullptr;
  // sqlite3_open_v2 hands back a handle even when it fails; it must still
  // be closed.
  // A connection is only ever used by the thread that opened it, so it
  // takes no mutex on every call (most of the cost of binding a value).
  constexpr int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(name.c_str(), &handle, flags, nullptr) !=
      SQLITE_OK) {
    sqlite3_close_v2(handle);
    return false;
  }
  db_ = handle;
  return true;
}

Database::~Database() { sqlite3_close_v2(db_); }

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), hook_(std::move(other.hook_)) {}

Database& Database::operator=(Database&& other) noexcept {
  if (this != &other) {
    sqlite3_close_v2(db_);
    db_ = std::exchange(other.db_, nullptr);
    hook_ = std::move(other.hook_);
  }
  return *this;
}

bool Database::Execute(std::string_view text) {
  Notify(text);
  if (db_ == nullptr) return false;
  const char* next = text.data();
  const char* const end = text.data() + text.size();
  while (next < end) {
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int prepared = sqlite3_prepare_v2(db_, next, static_cast<int>(end - next), &raw, &tail);
    const OwnedStatement stmt(raw);
    if (prepared != SQLITE_OK) return false;
    if (stmt == nullptr) break;  // only blanks or comments were left
    int stepped = SQLITE_ROW;
    while (stepped == SQLITE_ROW) stepped = sqlite3_step(stmt.get());
    if (stepped != SQLITE_DONE) return false;
    next = tail;
  }
  return true;
}

bool Database::InTransaction() const { return db_ != nullptr && sqlite3_get_autocommit(db_) == 0; }

}  // namespace quorvex

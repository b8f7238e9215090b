#pragma once
// A thin owner of one SQLite connection.
//
// Guarantees: the connection is closed when the Database goes, on every
// path; statements still alive at that moment keep it open until they are
// finalized (sqlite3_close_v2), so nothing dangles and nothing leaks. A
// Database that failed to open (or was never opened) fails every statement
// and every query quietly, so the engine plays on without its book.
// Single-threaded; not copyable, movable.

#include <functional>
#include <string>
#include <string_view>

struct sqlite3;

namespace quorvex {

class Database {
 public:
  // Sees every statement text handed to the connection, before it runs.
  using StatementHook = std::function<void(std::string_view text)>;

  Database() = default;
  explicit Database(const std::string& name) { Open(name); }
  ~Database();
  Database(Database&& other) noexcept;
  Database& operator=(Database&& other) noexcept;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Closes the connection held, if any, and opens `name`, for the engine
  // always ":memory:". The statement hook stays.
  bool Open(const std::string& name);
  bool IsOpen() const { return db_ != nullptr; }

  // Runs the statements of `text` (separated by ";") in order, each to
  // completion, and stops at the first that fails; the rest stay unrun.
  // True only if every statement succeeded. Rows a statement returns are
  // stepped past and dropped.
  bool Execute(std::string_view text);

  // True while a transaction is open on the connection.
  bool InTransaction() const;

  // For tests: observe the texts the store runs.
  void SetStatementHook(StatementHook hook) { hook_ = std::move(hook); }

 private:
  friend class Statement;
  void Notify(std::string_view text) const {
    if (hook_) hook_(text);
  }

  sqlite3* db_ = nullptr;
  StatementHook hook_;
};

}  // namespace quorvex

#pragma once
// Transactions on a Database that never stay open by accident.

#include <string_view>

#include "book/database.h"

namespace quorvex {

// Begins a transaction and rolls it back when the guard goes, unless
// Commit() succeeded first.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // False if the transaction could not be begun.
  bool Active() const { return active_; }
  bool Commit();

 private:
  Database& db_;
  bool active_ = false;
};

// Runs a statement text that begins and commits its own transaction. When
// a statement fails part-way, the transaction that the text opened is
// rolled back instead of being left open, where it would make every later
// "BEGIN TRANSACTION" fail. A transaction that was open before the call is
// left alone. True only if every statement succeeded.
bool ExecuteTransactionText(Database& db, std::string_view text);

}  // namespace quorvex

#include "book/transaction.h"

namespace quorvex {

Transaction::Transaction(Database& db) : db_(db) { active_ = db_.Execute("BEGIN TRANSACTION"); }

Transaction::~Transaction() {
  if (active_ && db_.InTransaction()) db_.Execute("ROLLBACK");
}

bool Transaction::Commit() {
  if (!active_) return false;
  if (!db_.Execute("COMMIT")) return false;
  active_ = false;
  return true;
}

bool ExecuteTransactionText(Database& db, std::string_view text) {
  const bool openedHere = !db.InTransaction();
  const bool ok = db.Execute(text);
  if (!ok && openedHere && db.InTransaction()) db.Execute("ROLLBACK");
  return ok;
}

}  // namespace quorvex

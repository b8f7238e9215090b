#pragma once
// Taking a game back out of the engine's store, exactly: for a training
// game that was stopped before its end, which must leave no trace.
//
// A game changes the store in three ways: it records rows, and when the
// engine sees the game decided it credits rows that earlier games made and
// runs the table-wide rules, which change counts and delete rows. Undo()
// reverts all of it, last change first: the table holds again the very
// rows, rowids and counts it held at Begin(), so what the engine reads
// afterwards is what it would have read had the game never been played.
//
// How: temporary triggers on `Openings` log the old values of every row a
// statement inserts, updates or deletes, in a temporary table of the same
// connection. They add writes of their own and change nothing the engine's
// statements read or return. The caller ensures nobody else changes the
// table while a game is logged, and that no transaction is open at Undo().

#include "book/database.h"

namespace quorvex::book {

class GameUndo {
 public:
  // Creates the log and its triggers on `db`, which must outlive this.
  explicit GameUndo(Database& db);

  // Starts the log of a game afresh.
  void Begin();

  // Reverts every change logged since Begin(); false if a statement failed.
  bool Undo();

 private:
  Database& db_;
};

}  // namespace quorvex::book

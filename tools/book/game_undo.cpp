#include "tools/book/game_undo.h"

#include <string>
#include <vector>

#include "book/statement.h"

namespace quorvex::book {

namespace {

// Kind 0: a row inserted; 1: updated, its old values kept; 2: deleted, the same.
constexpr const char* kCreateLog =
    "create temp table GameLog (Seq integer primary key, Kind int, Row int, CRC int, "
    "PrevCRC int, X int, Y int, WINS int, LOSSES int, MoveNo int, Touch int);"
    "create temp trigger GameLogInsert after insert on main.Openings begin "
    "insert into GameLog (Kind, Row) values (0, new.rowid); end;"
    "create temp trigger GameLogUpdate after update on main.Openings begin "
    "insert into GameLog (Kind, Row, CRC, PrevCRC, X, Y, WINS, LOSSES, MoveNo, Touch) values (1, "
    "old.rowid, old.CRC, old.PrevCRC, old.X, old.Y, old.WINS, old.LOSSES, old.MoveNo, old.Touch); "
    "end;"
    "create temp trigger GameLogDelete after delete on main.Openings begin "
    "insert into GameLog (Kind, Row, CRC, PrevCRC, X, Y, WINS, LOSSES, MoveNo, Touch) values (2, "
    "old.rowid, old.CRC, old.PrevCRC, old.X, old.Y, old.WINS, old.LOSSES, old.MoveNo, old.Touch); "
    "end;";

}  // namespace

GameUndo::GameUndo(Database& db) : db_(db) { db_.Execute(kCreateLog); }

void GameUndo::Begin() { db_.Execute("delete from GameLog"); }

bool GameUndo::Undo() {
  // 1. The log, newest first, read out before the reverting statements log
  //    themselves.
  struct Change {
    int64_t kind, row;
    std::vector<int64_t> values;  // CRC .. Touch
  };
  std::vector<Change> changes;
  {
    Statement log(db_,
                  "select Kind, Row, CRC, PrevCRC, X, Y, WINS, LOSSES, MoveNo, Touch from "
                  "GameLog order by Seq desc");
    while (log.Step()) {
      Change change{log.Int64(0), log.Int64(1), {}};
      for (int column = 2; column < 10; ++column) change.values.push_back(log.Int64(column));
      changes.push_back(std::move(change));
    }
    if (!log.Finished()) return false;
  }
  // 2. Each change reverted.
  Statement erase(db_, "delete from Openings where rowid = ?");
  Statement restore(db_,
                    "update Openings set CRC = ?2, PrevCRC = ?3, X = ?4, Y = ?5, WINS = ?6, "
                    "LOSSES = ?7, MoveNo = ?8, Touch = ?9 where rowid = ?1");
  Statement reinsert(db_,
                     "insert into Openings (rowid, CRC, PrevCRC, X, Y, WINS, LOSSES, MoveNo, "
                     "Touch) values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
  bool ok = true;
  for (const Change& change : changes) {
    Statement& statement = change.kind == 0 ? erase : change.kind == 1 ? restore : reinsert;
    statement.Reset();
    statement.Bind(1, change.row);
    if (change.kind != 0) {
      for (std::size_t i = 0; i < change.values.size(); ++i) {
        statement.Bind(static_cast<int>(i) + 2, change.values[i]);
      }
    }
    ok = statement.Run() && ok;
  }
  Begin();
  return ok;
}

}  // namespace quorvex::book

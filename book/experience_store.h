#pragma once
// The experience store: an in-memory SQLite table `Openings` of moves met in
// play, each a transition from one position key (`PrevCRC`) to the next
// (`CRC`) with win and loss counts, the move's normalised point, its number
// in its game and the run stamp `Touch`. Loaded from the experience file at
// start-up, never written back: what a run learns ends with the process.
//
// No call reports a failure. A statement that fails behaves as if it found
// or changed nothing, and a store whose database could not be opened plays
// on as an empty book. Single-threaded.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "book/database.h"
#include "book/experience_file.h"
#include "game/move_buffer.h"
#include "game/move_record.h"

namespace quorvex {

class ExperienceStore {
 public:
  // Opens a fresh ":memory:" database, creates `Openings`, loads every
  // whole record of the file at `path` in file order (duplicates included),
  // indexes the table and sets RunTouch to the highest `Touch` plus 1 (1
  // for an empty table; the largest int32 when the highest is that
  // already). The file is only read; a missing one is created empty when
  // the directory allows, one that cannot be read leaves the table empty.
  void LoadExperience(const std::string& path);

  // The same load from records read elsewhere, in the order `next` hands
  // them out (false when there are no more): for tools that read the file
  // themselves and must still fill the table as a brain fills it.
  using RecordSource = std::function<bool(ExperienceRecord&)>;
  void LoadExperience(const RecordSource& next);

  // The RunTouch of a load whose highest Touch is `maxTouch` (0 for an
  // empty table).
  static int32_t RunTouchAbove(int64_t maxTouch);

  // Best recorded continuation of the position `key`, scored from its
  // counts (wins over losses; above 20000 wins the wins themselves, above
  // 20000 losses 0). When a row was found, writes result.x, result.y
  // (normalised) and result.score (truncated) and returns 1 if the best
  // score is at least 0.6, else 0. With no row, returns 0 and leaves
  // `result` untouched.
  int32_t LookupOpening(int64_t key, MoveRecord& result);

  // Enters the move from `prevKey` to `key` at the normalised (x, y),
  // unless a row with the same key and point is present, which keeps its
  // counts. Counts above 10000 are stored divided by 10; `Touch` is
  // RunTouch.
  void RecordMove(int64_t key, int64_t prevKey, int32_t x, int32_t y, int32_t moveNo, int32_t wins,
                  int32_t losses);

  // Credits the decided game to the rows of its stones 1..moveCount (key
  // `keys[i]`, point `moves[i]`): a win to every stone of the winner, a
  // loss to every stone of the loser, stamped with RunTouch, in one
  // transaction that is rolled back if it fails. Then caps the counts and
  // trims old rows across the whole table. gameResultFlag is 1 when the
  // engine won, 0 when the opponent won; engineMovedFirst 1 when the engine
  // made stone 1.
  void LearnFromGame(int32_t gameResultFlag, int32_t engineMovedFirst, int32_t moveCount,
                     const KeyHistory& keys, const MoveBuffer& moves);

  // The table-wide rules by which learning bounds the counts, run on every
  // row, in LearnFromGame's order and with its very statements: a seeded
  // forced win that has since lost more than once falls back to 1 win, then
  // WINS and LOSSES are capped to within 3 of each other. Learning runs them
  // after every credit, then trims; tools that add counts up outside a game
  // (joining files) run them alone. Stamps and rows are left as they are.
  void BoundCounts();

  // The run's stamp: the `Touch` of every row this run records and of
  // every row its learning credits. LoadExperience sets it one above the
  // newest stamp loaded.
  int32_t RunTouch() const { return runTouch_; }

  // Every row of `Openings` in rowid order, the order the rows entered
  // the table; empty when the table cannot be read.
  std::vector<ExperienceRecord> Rows();
  int64_t RowCount();

  // Replaces the stamp set by the load, for tools that make experience
  // files for brains. The brain never calls it: its stamp is its file's.
  void SetRunTouch(int32_t touch) { runTouch_ = touch; }

  // The connection, for tests and tools that inspect the table.
  Database& Db() { return db_; }

 private:
  Database db_;
  int32_t runTouch_ = 0;
};

}  // namespace quorvex

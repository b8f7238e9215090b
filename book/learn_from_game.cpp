#include <algorithm>
#include <cstdint>
#include <string>

#include "book/experience_store.h"
#include "book/transaction.h"

namespace quorvex {

namespace {

// The whole table, in this order: a seeded forced win that has since lost
// more than once falls back to 1 win, before the counts are capped to
// within 3 of each other (BoundCounts); then old rows beyond the ninth
// stone go.
constexpr const char* BoundRules[] = {
    "update openings set WINS = 1 where Wins > 3000 And losses > 1",
    "update openings set wins = losses + 3 where wins > losses + 3",
    "update openings set losses = wins + 3 where losses > wins + 3",
};
constexpr const char* TrimRule = "delete from openings where touch < 71000 and MoveNo > 9 ";

// One update of the row of one stone; `update` is the text between the
// stamp and the key, `end` what closes the statement.
void AppendUpdate(std::string& text, int32_t touch, const char* update, int64_t key,
                  MoveEntry point, const char* end) {
  text += "update openings set touch = ";
  text += std::to_string(touch);
  text += update;
  text += std::to_string(key);
  text += " And x = ";
  text += std::to_string(point.x);
  text += "  And y = ";
  text += std::to_string(point.y);
  text += end;
}

}  // namespace

void ExperienceStore::LearnFromGame(int32_t gameResultFlag, int32_t engineMovedFirst,
                                    int32_t moveCount, const KeyHistory& keys,
                                    const MoveBuffer& moves) {
  // The first mover's win and the second mover's win are spelt apart.
  constexpr const char* AddFirstMoverWin = ", WINS = wins + 1 where CRC = ";
  constexpr const char* AddSecondMoverWin = ", WINS = WINS + 1 where CRC = ";
  constexpr const char* AddLoss = ", LOSSES = LOSSES + 1 where CRC = ";
  const int32_t lastStone = std::min(moveCount, MoveBufferEntries - 1);

  // 1. Odd stones are the first mover's, even stones the other player's.
  const bool firstMoverWon = (engineMovedFirst == 1 && gameResultFlag == 1) ||
                             (engineMovedFirst == 0 && gameResultFlag == 0);

  // 2. One transaction crediting every stone of the game.
  std::string text = "BEGIN TRANSACTION;";
  for (int32_t i = 1; i <= lastStone; i += 2) {
    AppendUpdate(text, runTouch_, firstMoverWon ? AddFirstMoverWin : AddLoss, keys[i], moves[i],
                 firstMoverWon ? " ;" : " ; ");
  }
  for (int32_t i = 2; i <= lastStone; i += 2) {
    AppendUpdate(text, runTouch_, firstMoverWon ? AddLoss : AddSecondMoverWin, keys[i], moves[i],
                 " ;");
  }
  text += "commit;";
  // 3. A failure part-way rolls the whole credit back rather than leaving
  //    the transaction open to block every later learning step.
  ExecuteTransactionText(db_, text);

  // 4. The table-wide rules, each on its own.
  BoundCounts();
  db_.Execute(TrimRule);
}

void ExperienceStore::BoundCounts() {
  for (const char* rule : BoundRules) db_.Execute(rule);
}

}  // namespace quorvex

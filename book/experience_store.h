#pragma once
// The experience store: an in-memory SQLite table `Openings` of moves met in
// play, each a transition from one position key to the next with win and
// loss counts. Loaded from the experience file at start-up, never written
// back.

#include <cstdint>
#include <string>

#include "engine/move_buffer.h"
#include "engine/move_record.h"

namespace quorvex {

class ExperienceStore {
 public:
  // Creates the in-memory table, loads the experience file at `path` and
  // sets RunTouch.
  void LoadExperience(const std::string& path);

  // Best recorded continuation of the position `key`: writes result.x,
  // result.y (normalised) and result.score when a row was found. Returns 1
  // when the best score is at least 0.6, else 0.
  int32_t LookupOpening(int64_t key, MoveRecord& result);

  // Enters a move unless a row with the same key and point is present.
  void RecordMove(int64_t key, int64_t prevKey, int32_t x, int32_t y, int32_t moveNo,
                  int32_t wins, int32_t losses);

  // Credits the decided game to the rows of its stones 1..moveCount.
  void LearnFromGame(int32_t gameResultFlag, int32_t engineMovedFirst, int32_t moveCount,
                     const KeyHistory& keys, const MoveBuffer& moves);

  int32_t RunTouch() const { return runTouch_; }

 private:
  int32_t runTouch_ = 0;
};

}  // namespace quorvex

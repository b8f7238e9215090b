#include "brain/outcome_scan.h"

#include "eval/scores.h"

namespace quorvex {

bool RankAndScanOutcome(Engine& engine) {
  engine.Ranker.RankCandidates(engine.Board, engine.CandidateList, DecisionLevel, CellOwn);
  const int32_t count = ListCount(engine.CandidateList);
  int32_t opponentFours = 0;
  for (int32_t i = 1; i <= count; ++i) {
    const MoveRecord& entry = engine.CandidateList[i];
    bool decided = false;
    if (entry.score >= FourScore && entry.side == CellOwn) {
      engine.GameResultFlag = 1;
      decided = true;
    } else if (entry.score > FourScore && entry.side == CellOpponent) {
      engine.GameResultFlag = 0;
      decided = true;
    } else if (entry.score >= FourScore && entry.side == CellOpponent) {
      decided = ++opponentFours == 2;
      if (decided) engine.GameResultFlag = 0;
    }
    if (decided) {
      engine.Store.LearnFromGame(engine.GameResultFlag, engine.EngineMovedFirst, engine.MoveCount,
                                 engine.KeyHistory, engine.MoveBuffer);
      return true;
    }
  }
  return false;
}

}  // namespace quorvex

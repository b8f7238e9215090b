#pragma once
// The brain: the game, the tables, the book and the searcher, owned by one
// object and changed only through its verbs.
//
// The brain runs one Engine for the life of the process; every test builds
// a fresh one. The command loop turns each protocol line into one verb and
// prints what the verb returns. Single-threaded: nothing here is locked.

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>

#include "book/experience_store.h"
#include "brain/decide_move.h"
#include "eval/rank_candidates.h"
#include "eval/templates.h"
#include "game/game.h"
#include "search/threat_search.h"

namespace quorvex {

struct EngineConfig {
  // Where the experience file lives; the brain puts it beside its executable.
  std::string experiencePath;
  // Millisecond clock for the turn time; the platform's monotonic clock
  // unless a test supplies its own.
  std::function<int32_t()> clock;
  // Seed of the random generator, drawn once per process by the brain.
  uint32_t seed = 0;
};

class Engine {
 public:
  // Start-up: an empty 20 x 20 game, the templates built, the experience
  // file at config.experiencePath loaded, before the first command is read.
  explicit Engine(EngineConfig config);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // START: an empty game of `size` points a side (Game::NewGame); the match
  // time left is unknown again until the new game's manager reports it.
  // Requires MinBoardSize <= size <= MaxBoardSize.
  void NewGame(int32_t size);

  // BEGIN: the engine's opening stone at the centre, recorded in the store.
  // Requires an empty game (MoveCount 0, the centre empty).
  void PlayOpeningStone();

  // The opponent's stone of a TURN: placed, the turn's clock started, then
  // recorded in the store, so the recording counts against the engine's
  // own time. Requires an empty playable point.
  void PlaceOpponentStone(int32_t x, int32_t y);

  // A stone of a BOARD listing, of `code` (CellOwn or CellOpponent): placed
  // and recorded; the clock is not read. Requires an empty playable point.
  void PlaceListedStone(int32_t code, int32_t x, int32_t y);

  // DONE: the turn's clock starts when the listing ends.
  void StartTurnClock() { turnStartMs_ = clock_(); }

  // An INFO setting. "timeout_turn" is the turn time in milliseconds,
  // "timeout_match" 0 a match without a time limit, "time_left" the match
  // time left, known for the current game only. Other keys change nothing.
  void SetInfo(std::string_view key, int32_t value);

  // Chooses the engine's point, places its stone and returns the reply
  // (MoveDecision::DecideMove), the search limited as TurnSearchLimit says
  // from the turn's clock.
  std::string DecideMove();

  // The move decision's steps 1 to 3 without the move, for a tool that
  // replays a game as the brain playing one side would have met it: the
  // game is learned from if the ranking shows it decided. True when it
  // was. Nothing of the game changes but GameResultFlag, the scan's
  // verdict (0 without one).
  bool ScanForOutcome() { return decision_.ScanOutcomeBeforeOwnStone(); }

  // Milliseconds after the turn's clock started past which the threat
  // search stops expanding (SearchTimeLimit of the settings so far).
  int32_t TurnSearchLimit() const;

  // Nodes the threat search has entered since start-up.
  int64_t SearchNodes() const { return searcher_.Nodes(); }

  const Game& game() const { return game_; }

  // The random generator that draws the points of steps 4 and 10. A tool
  // that takes a game back, or stops a run and takes it up again later,
  // restores it, so that the draws go on as if nothing had come between.
  const std::mt19937& Rng() const { return rng_; }
  void RestoreRng(const std::mt19937& rng) { rng_ = rng; }

  // The book, whose own operations keep it sound: tools and tests seed,
  // read and write it through them.
  ExperienceStore& store() { return store_; }

 private:
  // The latest stone, as the game holds it, into the store.
  void RecordLatestStone(int32_t x, int32_t y);

  std::function<int32_t()> clock_;
  std::mt19937 rng_;
  Game game_;
  TemplateTables templates_;
  CandidateRanker ranker_{templates_};
  ExperienceStore store_;
  ThreatSearcher searcher_{ranker_, clock_};
  MoveDecision decision_{game_, store_, ranker_, searcher_, rng_};

  int32_t msTurnTime_ = 0;
  int32_t turnStartMs_ = 0;
  int32_t msTimeLeft_ = 0;
  bool timeLeftKnown_ = false;
  bool matchTimeUnlimited_ = false;
};

}  // namespace quorvex

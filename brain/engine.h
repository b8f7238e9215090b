#pragma once
// The engine's whole state, owned by one object.
//
// The brain runs one Engine for the life of the process; every test builds
// a fresh one. The members carry the names the rest of the engine knows
// them by. Single-threaded: nothing here is locked.

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "book/experience_store.h"
#include "game/board.h"
#include "game/move_buffer.h"
#include "game/move_record.h"
#include "eval/rank_candidates.h"
#include "eval/templates.h"
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

struct Engine {
  // Start-up: the tables are built and the experience file is loaded before
  // the first command is read.
  explicit Engine(EngineConfig config);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // An empty game on a board of `size` points a side; clears MoveBuffer
  // entries 1..410 and KeyHistory entries 1..410. MoveCount is the caller's.
  void ResetBoard(int32_t size = DefaultBoardSize);

  // Adds a stone of `code` at (x, y): MoveCount, the cell, the offsets when
  // it is stone 1, its MoveBuffer entry, PositionKey and its KeyHistory
  // entry. The caller ensures (x, y) is an empty playable point and that
  // MoveCount stays below MoveBufferEntries - 1.
  void PlaceStone(int32_t code, int32_t x, int32_t y);

  // The game.
  quorvex::Board Board;
  quorvex::MoveBuffer MoveBuffer{};
  quorvex::KeyHistory KeyHistory{};
  int32_t MoveCount = 0;
  int64_t PositionKey = 0;
  int64_t PrevPositionKey = 0;
  int32_t NormXVec = 0;
  int32_t NormYVec = 0;
  MoveRecord LastOpponentMove;
  int32_t EngineMovedFirst = 0;
  int32_t GameResultFlag = 0;

  // The protocol and the clock.
  std::string InputLine;
  int32_t BoardInputMode = 0;
  int32_t MoveX = 0;
  int32_t MoveY = 0;
  int32_t StoneOwner = 0;
  int32_t msTurnTime = 0;
  int32_t TurnStartMs = 0;
  // The match time left, from the manager's INFO time_left before a move;
  // known only for the game in which it was sent. A timeout_match of 0
  // means the match has no time limit, whatever time_left says.
  int32_t msTimeLeft = 0;
  bool TimeLeftKnown = false;
  bool MatchTimeUnlimited = false;

  // Tables built at start-up.
  TemplateTables Templates;
  int32_t TemplateCount = 0;
  CandidateRanker Ranker{Templates};
  MoveList CandidateList;

  // The book.
  std::string ExperiencePath;
  ExperienceStore Store;

  std::function<int32_t()> Clock;
  std::mt19937 Rng;
  ThreatSearcher Searcher{Ranker, Clock};
};

}  // namespace quorvex

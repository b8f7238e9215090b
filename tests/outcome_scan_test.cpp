#include "brain/outcome_scan.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "eval/scores.h"
#include "game/board.h"

namespace quorvex {
namespace {

struct Entry {
  int32_t score;
  int32_t side;
};

// A ranked list of the entries, in the order given.
MoveList Ranked(const std::vector<Entry>& entries) {
  MoveList list(1);
  list[0].score = static_cast<int32_t>(entries.size());
  for (const Entry& e : entries) list.push_back({.score = e.score, .side = e.side});
  return list;
}

TEST(ScanOutcome, TheFirstDecisiveEntryOfTheListGivesTheVerdict) {
  constexpr int32_t Own = CellOwn;
  constexpr int32_t Opp = CellOpponent;
  struct Case {
    const char* name;
    std::vector<Entry> entries;
    std::optional<int32_t> verdict;
  };
  const Case cases[] = {
      {"nothing decisive", {{FourScore - 1, Own}, {OpenThreeScore, Opp}}, std::nullopt},
      {"the engine's four", {{OpenThreeScore, Opp}, {FourScore, Own}}, 1},
      {"the opponent's point above a four", {{FourScore + 10, Opp}}, 0},
      {"one four of the opponent is no decision",
       {{FourScore, Opp}, {TwoScore, Own}},
       std::nullopt},
      {"two fours of the opponent", {{FourScore, Opp}, {FourScore, Opp}}, 0},
      {"the opponent's 190 before the engine's four", {{FourScore + 10, Opp}, {FourScore, Own}}, 0},
      {"the engine's four before the opponent's second",
       {{FourScore, Opp}, {FourScore, Own}, {FourScore, Opp}},
       1},
  };
  for (const Case& c : cases) EXPECT_EQ(ScanOutcome(Ranked(c.entries)), c.verdict) << c.name;

  MoveList stale = Ranked({{FourScore, Own}});
  stale[0].score = 0;
  EXPECT_EQ(ScanOutcome(stale), std::nullopt) << "an entry beyond the list's count";
}

}  // namespace
}  // namespace quorvex

#pragma once
// The match score from the first player's side, and the Elo difference it
// implies with a 95 % confidence interval.
//
// Score = wins + draws / 2. The Elo difference of a mean score s is
// -400 log10(1/s - 1). The interval takes the standard error of the mean
// game score (wins 1, draws 0.5, losses 0) and maps s +/- 1.96 of it through
// the same curve; at a score of 0 or 1 a bound is infinite.
//
// The estimate means something only once its interval is finite and has
// a width: some games differ in result, and the score stays within (0, 1)
// for 1.96 standard errors either way. Until then (after one game, a
// sweep, all draws, 1 win and 1 loss) the table says "not enough games"
// instead of numbers.

#include <cstdint>
#include <string>

namespace quorvex::match {

struct Tally {
  int32_t wins = 0;  // for the first player
  int32_t losses = 0;
  int32_t draws = 0;
  int32_t forfeits = 0;  // games, either side, ended by a rule breach
  int32_t games() const { return wins + losses + draws; }
  double score() const { return wins + 0.5 * draws; }
};

struct EloEstimate {
  double difference = 0;  // may be +/- infinity
  double low = 0;
  double high = 0;
  // The interval is finite and has a width: see above.
  bool meaningful() const;
};

// The caller must ensure at least one game is counted.
EloEstimate EstimateElo(const Tally& tally);

// The results table, one row per player, then the Elo line: "Elo
// difference (1 - 2): +35, 95% interval [-20, +91]" with whole numbers
// (0 for an even score, never "-0"), or "... (1 - 2): not enough games".
std::string FormatResults(const Tally& tally, const std::string& first, const std::string& second);

}  // namespace quorvex::match

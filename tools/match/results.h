#pragma once
// The match score from the first player's side, and the Elo difference it
// implies with a 95 % confidence interval.
//
// Score = wins + draws / 2. The Elo difference of a mean score s is
// -400 log10(1/s - 1). The interval takes the standard error of the mean
// game score (wins 1, draws 0.5, losses 0) and maps s +/- 1.96 of it through
// the same curve; at a score of 0 or 1 a bound is infinite.

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
};

// The caller must ensure at least one game is counted.
EloEstimate EstimateElo(const Tally& tally);

// The results table, one row per player, then the Elo line.
std::string FormatResults(const Tally& tally, const std::string& first, const std::string& second);

}  // namespace quorvex::match

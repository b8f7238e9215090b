#pragma once
// The learning curve of a training run: the engine's score (win 1, draw
// 1/2, loss 0) in each block of games, in all, per opponent and per colour,
// and the same for the whole run.
//
// A block's line, once its last game is counted:
//   "games 21-40: 13.5/20 68% | greedy: black 7/10 white 6.5/10"
// (one "| name: ..." part per opponent met in the block). The summary ends
// an unfinished last block the same way, then a table of the whole run,
// one row per opponent and one for all of them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvex::book {

// The score of a block line, read back by a program that follows a run's
// output (train --jobs): its games and half-points. Empty for other lines.
struct BlockScore {
  int32_t games = 0;
  int32_t halfPoints = 0;
};
std::optional<BlockScore> ReadBlockLine(const std::string& line);

class LearningCurve {
 public:
  // `opponents` are the opponents' names, in their order; block >= 1.
  LearningCurve(std::vector<std::string> opponents, int32_t block);

  // Counts one game: `halfPoints` 2 for a win, 1 for a draw, 0 for a loss.
  // Returns the block's line when this game ends one, else empty.
  std::string Count(int32_t opponent, bool engineBlack, int32_t halfPoints);

  // The unfinished block's line, if any, and the table of the run.
  std::string Summary() const;

  // Every count as one line of numbers, and back, for a run that goes on
  // where another stopped. Restore changes nothing and returns false when
  // the text does not fit this curve's opponents.
  std::string Save() const;
  bool Restore(const std::string& text);

 private:
  struct Score {
    int32_t games = 0;
    int32_t halfPoints = 0;
  };
  using Colours = std::array<Score, 2>;  // engine black, engine white

  std::string BlockLine() const;

  std::vector<std::string> names_;
  int32_t block_;
  int32_t counted_ = 0;
  std::vector<Colours> inBlock_;
  std::vector<Colours> inRun_;
};

}  // namespace quorvex::book

#include "tools/book/learning_curve.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string_view>

namespace quorvex::book {

namespace {

// "6.5/10 65%", or "13/20" without the share.
std::string Format(int32_t halfPoints, int32_t games, bool share) {
  char text[64];
  const int n = std::snprintf(text, sizeof text, "%d%s/%d", static_cast<int>(halfPoints / 2),
                              halfPoints % 2 != 0 ? ".5" : "", static_cast<int>(games));
  if (share && games > 0) {
    std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), " %d%%",
                  static_cast<int>((50 * halfPoints + games / 2) / games));
  }
  return text;
}

}  // namespace

std::optional<BlockScore> ReadBlockLine(const std::string& line) {
  int first = 0, last = 0, points = 0, games = 0, used = 0;
  // "games 21-40: 13.5/20 68%": the half-point is there or not.
  if (std::sscanf(line.c_str(), "games %d-%d: %d%n", &first, &last, &points, &used) != 3) return {};
  const char* rest = line.c_str() + used;
  const bool half = std::string_view(rest).starts_with(".5");
  if (std::sscanf(rest + (half ? 2 : 0), "/%d", &games) != 1 || games != last - first + 1) {
    return {};
  }
  return BlockScore{games, 2 * points + (half ? 1 : 0)};
}

LearningCurve::LearningCurve(std::vector<std::string> opponents, int32_t block)
    : names_(std::move(opponents)), block_(block), inBlock_(names_.size()), inRun_(names_.size()) {}

std::string LearningCurve::Count(int32_t opponent, bool engineBlack, int32_t halfPoints) {
  for (auto* scores : {&inBlock_, &inRun_}) {
    Score& score = (*scores)[static_cast<std::size_t>(opponent)][engineBlack ? 0 : 1];
    ++score.games;
    score.halfPoints += halfPoints;
  }
  ++counted_;
  if (counted_ % block_ != 0) return {};
  std::string line = BlockLine();
  std::fill(inBlock_.begin(), inBlock_.end(), Colours{});
  return line;
}

std::string LearningCurve::BlockLine() const {
  Score all;
  std::string parts;
  for (std::size_t i = 0; i < names_.size(); ++i) {
    const Colours& c = inBlock_[i];
    if (c[0].games + c[1].games == 0) continue;
    parts += " | " + names_[i] + ":";
    for (int colour = 0; colour < 2; ++colour) {
      if (c[colour].games == 0) continue;
      parts += std::string(colour == 0 ? " black " : " white ") +
               Format(c[colour].halfPoints, c[colour].games, false);
      all.games += c[colour].games;
      all.halfPoints += c[colour].halfPoints;
    }
  }
  if (all.games == 0) return {};
  return "games " + std::to_string(counted_ - all.games + 1) + "-" + std::to_string(counted_) +
         ": " + Format(all.halfPoints, all.games, true) + parts + "\n";
}

std::string LearningCurve::Summary() const {
  std::string text = BlockLine();
  if (counted_ == 0) return text;
  std::size_t width = 8;
  for (const std::string& name : names_) width = std::max(width, name.size() + 2);
  char row[512];
  const auto addRow = [&](const std::string& name, const Colours& c) {
    const Score both{c[0].games + c[1].games, c[0].halfPoints + c[1].halfPoints};
    std::snprintf(row, sizeof row, "%-*s %-16s %-16s %s\n", static_cast<int>(width), name.c_str(),
                  Format(c[0].halfPoints, c[0].games, true).c_str(),
                  Format(c[1].halfPoints, c[1].games, true).c_str(),
                  Format(both.halfPoints, both.games, true).c_str());
    text += row;
  };
  text += "score of the run (win 1, draw 1/2):\n";
  std::snprintf(row, sizeof row, "%-*s %-16s %-16s %s\n", static_cast<int>(width), "opponent",
                "as black", "as white", "all");
  text += row;
  Colours all{};
  for (std::size_t i = 0; i < names_.size(); ++i) {
    addRow(names_[i], inRun_[i]);
    for (int colour = 0; colour < 2; ++colour) {
      all[colour].games += inRun_[i][colour].games;
      all[colour].halfPoints += inRun_[i][colour].halfPoints;
    }
  }
  if (names_.size() > 1) addRow("all", all);
  return text;
}

std::string LearningCurve::Save() const {
  std::string text = std::to_string(counted_);
  for (const auto* scores : {&inBlock_, &inRun_}) {
    for (const Colours& colours : *scores) {
      for (const Score& score : colours) {
        for (const int32_t number : {score.games, score.halfPoints}) {
          text += ' ';
          text += std::to_string(number);
        }
      }
    }
  }
  return text;
}

bool LearningCurve::Restore(const std::string& text) {
  std::istringstream numbers(text);
  LearningCurve restored(names_, block_);
  numbers >> restored.counted_;
  for (auto* scores : {&restored.inBlock_, &restored.inRun_}) {
    for (Colours& colours : *scores) {
      for (Score& score : colours) numbers >> score.games >> score.halfPoints;
    }
  }
  std::string extra;
  if (!numbers || numbers >> extra) return false;
  *this = std::move(restored);
  return true;
}

}  // namespace quorvex::book

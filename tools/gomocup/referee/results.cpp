#include "tools/gomocup/referee/results.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace quorvex::match {

namespace {

double EloOfScore(double s) {
  if (s <= 0) return -std::numeric_limits<double>::infinity();
  if (s >= 1) return std::numeric_limits<double>::infinity();
  return -400.0 * std::log10(1.0 / s - 1.0);
}

// A finite difference, whole: "+35", "-20", and "0" rather than the "-0"
// or "+0" printf would give a score a hair either side of even.
std::string FormatElo(double elo) {
  const long long whole = std::llround(elo);
  if (whole == 0) return "0";
  char text[32];
  std::snprintf(text, sizeof text, "%+lld", whole);
  return text;
}

}  // namespace

bool EloEstimate::meaningful() const {
  return std::isfinite(low) && std::isfinite(high) && high > low;
}

EloEstimate EstimateElo(const Tally& tally) {
  const double n = tally.games();
  const double s = tally.score() / n;
  const double variance = (tally.wins * (1 - s) * (1 - s) + tally.draws * (0.5 - s) * (0.5 - s) +
                           tally.losses * s * s) /
                          n;
  const double margin = 1.96 * std::sqrt(variance / n);
  return {EloOfScore(s), EloOfScore(std::max(0.0, s - margin)),
          EloOfScore(std::min(1.0, s + margin))};
}

std::string FormatResults(const Tally& tally, const std::string& first, const std::string& second) {
  const int width = static_cast<int>(std::max<size_t>({first.size(), second.size(), 6})) + 3;
  char line[512];
  std::string text;
  std::snprintf(line, sizeof line, "%-*s %5s %6s %5s %7s\n", width, "player", "wins", "losses",
                "draws", "score");
  text += line;
  const auto row = [&](const char* tag, const std::string& name, int32_t w, int32_t l) {
    const std::string label = std::string(tag) + name;
    std::snprintf(line, sizeof line, "%-*s %5d %6d %5d %7.1f\n", width, label.c_str(),
                  static_cast<int>(w), static_cast<int>(l), static_cast<int>(tally.draws),
                  w + 0.5 * tally.draws);
    text += line;
  };
  row("1: ", first, tally.wins, tally.losses);
  row("2: ", second, tally.losses, tally.wins);
  std::snprintf(line, sizeof line, "games %d, forfeits %d\n", static_cast<int>(tally.games()),
                static_cast<int>(tally.forfeits));
  text += line;
  if (tally.games() > 0) {
    const EloEstimate elo = EstimateElo(tally);
    text += "Elo difference (1 - 2): ";
    text += elo.meaningful() ? FormatElo(elo.difference) + ", 95% interval [" +
                                   FormatElo(elo.low) + ", " + FormatElo(elo.high) + "]\n"
                             : std::string("not enough games\n");
  }
  return text;
}

}  // namespace quorvex::match

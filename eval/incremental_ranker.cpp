#include "eval/incremental_ranker.h"

#include <algorithm>
#include <bit>

#include "eval/candidate_selection.h"
#include "eval/crossing_bonus.h"
#include "eval/scores.h"

namespace quorvex {
namespace {

constexpr int32_t kMaxCandidates = WindowCount * 4;  // four proposed cells a template at most
static_assert(kMaxCandidates < (1 << 16), "candidate numbers fit a sort key");

// The highest score the crossing bonus can give; scores above it are the
// template scores of their windows.
constexpr int32_t kMaxRaisedScore = OpenThreeScore + CrossingBonus;

// x and y of a grid cell numbered x * BoardSpan + y, without dividing.
struct PointCoordinates {
  std::array<uint8_t, BoardSpan * BoardSpan> x{};
  std::array<uint8_t, BoardSpan * BoardSpan> y{};
  constexpr PointCoordinates() {
    for (int32_t p = 0; p < BoardSpan * BoardSpan; ++p) {
      x[static_cast<std::size_t>(p)] = static_cast<uint8_t>(p / BoardSpan);
      y[static_cast<std::size_t>(p)] = static_cast<uint8_t>(p % BoardSpan);
    }
  }
};
constexpr PointCoordinates kPoints;

// A candidate's unit among the per-direction counts of its crossing slot.
uint32_t DirectionUnit(int32_t direction) { return uint32_t{1} << (8 * (direction - 1)); }

}  // namespace

int32_t RankedCandidates::TopScore() const {
  IncrementalRanker& r = ranker_;
  const WindowTracker& windows = r.windows_;
  // The most a class's candidates can score once the bonus has run.
  auto reach = [&windows](int32_t c) {
    return windows.ClassScore(c) + (CanGainCrossingBonus(windows.ClassScore(c)) ? CrossingBonus : 0);
  };
  int32_t best = 0;
  for (int32_t c = 0; c < windows.ClassCount(); ++c) {
    if (windows.ClassMoves(c) == 0) continue;
    if (best == 0 && (windows.ClassScore(c) > kMaxRaisedScore || windows.ClassScore(c) < TwoScore)) {
      return windows.ClassScore(c);  // past the bonus's reach, or below all it can raise
    }
    if (r.crossed_) return r.scores_[0];
    // The bonus pass runs class by class only until no class left can
    // beat the best score found.
    r.CrossThroughClass(c);
    const int32_t raised = r.raised_[static_cast<std::size_t>(c)];
    best = std::max(best, windows.ClassScore(c) + (raised > 0 ? CrossingBonus : 0));
    int32_t rest = 0;
    for (int32_t d = c + 1; d < windows.ClassCount(); ++d) {
      if (windows.ClassMoves(d) > 0) rest = std::max(rest, reach(d));
    }
    if (best >= rest) return best;
  }
  return best;
}

int32_t RankedCandidates::CountAtLeast(int32_t score) const {
  IncrementalRanker& r = ranker_;
  int32_t count = 0;
  if (score > kMaxRaisedScore) {
    for (int32_t c = 0; c < r.windows_.ClassCount() && r.windows_.ClassScore(c) >= score; ++c) {
      count += r.windows_.ClassMoves(c);
    }
    return count;
  }
  r.EnsureCrossed();
  for (int32_t i = 0; i < r.distinct_ && r.scores_[static_cast<std::size_t>(i)] >= score; ++i) {
    count = r.atLeast_[static_cast<std::size_t>(i)];
  }
  return count;
}

MoveRecord RankedCandidates::At(int32_t i) const {
  IncrementalRanker& r = ranker_;
  r.EnsureKeyed();
  r.sort_.SortThrough(i);
  const int32_t candidate = r.sort_.Candidate(i);
  if (candidate > r.collected_) r.CollectThrough(candidate);
  MoveRecord entry;
  r.WriteEntry(candidate, side_, entry);
  return entry;
}

void RankedCandidates::Select(int32_t minScore, int32_t side, PointMarks& marks, MoveList& to) const {
  IncrementalRanker& r = ranker_;
  // The candidates that can score minScore are collected first, in
  // collection order; the bonus matters only for scores it can reach.
  if (minScore > kMaxRaisedScore) {
    r.CollectDownTo(minScore);
  } else {
    r.EnsureCrossed();
    r.CollectDownTo(minScore);
  }
  // Whether the kept entries lie on more than one point. With one point,
  // the first entry of the point in ranked order is its best (entries of
  // equal score at one point and side are equal).
  int32_t best = 0;
  for (int32_t i = 1; i <= r.collected_; ++i) {
    const auto at = static_cast<std::size_t>(i);
    if (r.score_[at] < minScore || r.side_[at] != side) continue;
    if (best != 0 && r.point_[at] != r.point_[static_cast<std::size_t>(best)]) {
      SelectOnePerPoint(*this, minScore, side, marks, to);
      return;
    }
    if (best == 0 || r.score_[at] > r.score_[static_cast<std::size_t>(best)]) best = i;
  }
  to.clear();
  to.push_back(MoveRecord{});
  if (best != 0) {
    r.WriteEntry(best, side_, to.emplace_back());
  }
}

IncrementalRanker::IncrementalRanker(const TemplateTables& tables, int32_t cachedOrders)
    : windows_(tables),
      point_(kMaxCandidates + 1),
      direction_(kMaxCandidates + 1),
      side_(kMaxCandidates + 1),
      score_(kMaxCandidates + 1),
      usedUp_(BoardSpan * BoardSpan * 2, 0),
      sortScores_(kMaxCandidates + 1),
      sort_(kMaxCandidates, cachedOrders) {
  usedSlots_.reserve(kMaxCandidates);
}

// Every field is written, so `to` may hold a stale entry. Written in place:
// a record built aside and copied in is read back wide before its narrow
// stores have landed, and stalls on every entry.
void IncrementalRanker::WriteEntry(int32_t candidate, int32_t side, MoveRecord& to) const {
  const auto at = static_cast<std::size_t>(candidate);
  to.x = kPoints.x[point_[at]];
  to.y = kPoints.y[point_[at]];
  to.score = score_[at];
  to.direction = 0;
  to.templateNo = 0;
  to.side = side_[at];
  to.bonus = 0;
  to.mine = side_[at] == side ? 1 : 0;
}

// The candidates of class c, appended in collection order: its windows in
// scan order, each window's proposed cells left to right.
void IncrementalRanker::CollectClass(int32_t c) {
  const auto score = static_cast<int16_t>(windows_.ClassScore(c));
  const uint64_t* bits = windows_.ClassWindows(c);
  int32_t last = collected_;
  for (uint32_t words = windows_.ClassWords(c); words != 0; words &= words - 1) {
    const int32_t word = std::countr_zero(words);
    for (uint64_t w = bits[word]; w != 0; w &= w - 1) {
      const int32_t window = word * 64 + std::countr_zero(w);
      const int32_t direction = WindowDirection(window);
      const WindowTracker::Proposals& p = windows_.ProposalsOf(windows_.TemplateAt(window));
      const int32_t origin = WindowOriginCell[static_cast<std::size_t>(window)];
      const auto& steps = p.step[static_cast<std::size_t>(direction)];
      for (int32_t k = 0; k < p.count; ++k) {
        const auto i = static_cast<std::size_t>(++last);
        point_[i] = static_cast<uint16_t>(origin + steps[static_cast<std::size_t>(k)]);
        direction_[i] = static_cast<uint8_t>(direction);
        side_[i] = static_cast<uint8_t>(p.side);
        score_[i] = score;
      }
    }
  }
  collected_ = last;
  ++nextClass_;
}

void IncrementalRanker::CollectDownTo(int32_t score) {
  while (nextClass_ < windows_.ClassCount() && windows_.ClassScore(nextClass_) >= score) CollectClass(nextClass_);
}

void IncrementalRanker::CollectThrough(int32_t candidate) {
  while (collected_ < candidate) CollectClass(nextClass_);
}

void IncrementalRanker::CrossAll() {
  int32_t last = -1;
  while (last + 1 < windows_.ClassCount() && windows_.ClassScore(last + 1) >= TwoScore) ++last;
  CrossThroughClass(last);
  CountScores();
  crossed_ = true;
}

void IncrementalRanker::KeyAll() {
  EnsureCrossed();
  WriteSortScores();
  sort_.Start(sortScores_.data(), ranked_.count_);
  keyed_ = true;
}

// The crossing bonus, by the rule of CrossingPass: in collection order a
// two or three gains it when another candidate of its side at its point,
// along another direction, scoring TwoScore or more, has not gained it.
// The tracker counts those candidates per point, side and direction, so a
// candidate reads one word rather than looking at its partners; the ones
// that gain the bonus are taken off the count for the rest of the pass.
// The pass goes class by class, in order, and may stop after any class.
void IncrementalRanker::CrossThroughClass(int32_t last) {
  while (nextClass_ <= last) CollectClass(nextClass_);
  for (; crossedClasses_ <= last; ++crossedClasses_) {
    const int32_t c = crossedClasses_;
    const int32_t moves = windows_.ClassMoves(c);
    if (CanGainCrossingBonus(windows_.ClassScore(c))) {
      for (int32_t i = crossFirst_; i < crossFirst_ + moves; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const uint32_t unit = DirectionUnit(direction_[at]);
        const std::size_t slot = WindowTracker::CrossingSlot(point_[at], side_[at]);
        const uint32_t counts = windows_.CrossingCounts(slot) - usedUp_[slot];
        if ((counts & ~(unit * 0xffu)) == 0) continue;  // no partner along another direction
        if (usedUp_[slot] == 0) usedSlots_.push_back(static_cast<uint32_t>(slot));
        usedUp_[slot] += unit;
        score_[at] = static_cast<int16_t>(score_[at] + CrossingBonus);
        ++raised_[static_cast<std::size_t>(c)];
      }
    }
    crossFirst_ += moves;
  }
}

// The distinct scores after the bonus, highest first, with running counts.
void IncrementalRanker::CountScores() {
  std::array<std::pair<int32_t, int32_t>, 2 * MaxScoreClasses> counts{};
  int32_t pairs = 0;
  for (int32_t c = 0; c < windows_.ClassCount(); ++c) {
    const int32_t raised = raised_[static_cast<std::size_t>(c)];
    const int32_t plain = windows_.ClassMoves(c) - raised;
    if (plain > 0) counts[static_cast<std::size_t>(pairs++)] = {windows_.ClassScore(c), plain};
    if (raised > 0) counts[static_cast<std::size_t>(pairs++)] = {windows_.ClassScore(c) + CrossingBonus, raised};
  }
  std::sort(counts.begin(), counts.begin() + pairs, [](const auto& a, const auto& b) { return a.first > b.first; });
  distinct_ = 0;
  int32_t total = 0;
  for (int32_t i = 0; i < pairs; ++i) {
    const auto [score, count] = counts[static_cast<std::size_t>(i)];
    total += count;
    if (distinct_ == 0 || scores_[static_cast<std::size_t>(distinct_ - 1)] != score) ++distinct_;
    scores_[static_cast<std::size_t>(distinct_ - 1)] = score;
    atLeast_[static_cast<std::size_t>(distinct_ - 1)] = total;
  }
}

// The scores to sort, in collection order. The classes not collected yet
// have one score throughout.
void IncrementalRanker::WriteSortScores() {
  for (int32_t i = 1; i <= collected_; ++i) {
    sortScores_[static_cast<std::size_t>(i)] = static_cast<uint16_t>(score_[static_cast<std::size_t>(i)]);
  }
  int32_t i = collected_;
  for (int32_t c = nextClass_; c < windows_.ClassCount(); ++c) {
    const auto score = static_cast<uint16_t>(windows_.ClassScore(c));
    for (const int32_t end = i + windows_.ClassMoves(c); i < end;) sortScores_[static_cast<std::size_t>(++i)] = score;
  }
}

const RankedCandidates& IncrementalRanker::Rank(int32_t side) {
  collected_ = 0;
  nextClass_ = 0;
  crossed_ = false;
  crossedClasses_ = 0;
  crossFirst_ = 1;
  raised_.fill(0);
  for (const uint32_t slot : usedSlots_) usedUp_[slot] = 0;
  usedSlots_.clear();
  keyed_ = false;
  ranked_.count_ = 0;
  for (int32_t c = 0; c < windows_.ClassCount(); ++c) ranked_.count_ += windows_.ClassMoves(c);
  ranked_.side_ = side;
  return ranked_;
}

int32_t IncrementalRanker::RankCandidates(MoveList& list, int32_t level, int32_t side) {
  const RankedCandidates& ranked = Rank(side);
  const int32_t count = ranked.Count();
  if (level == FullListLevel) {
    // Every entry is read: sort and collect the whole list at once, then
    // write it out without the reads' checks, over the entries the list
    // already has. Entries carry x, y, score, side and mine; the rest is 0.
    EnsureKeyed();
    sort_.SortThrough(count);
    CollectThrough(count);
    list.resize(static_cast<std::size_t>(count) + 1);
    list[0] = MoveRecord{};
    list[0].score = count;
    for (int32_t i = 1; i <= count; ++i) {
      WriteEntry(sort_.Candidate(i), side, list[static_cast<std::size_t>(i)]);
    }
    return 0;
  }
  SelectCandidatesFrom([&ranked](int32_t i) { return ranked.At(i); }, count, level, list);
  return -1;
}

}  // namespace quorvex

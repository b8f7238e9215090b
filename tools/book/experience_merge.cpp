#include "tools/book/experience_merge.h"

#include <algorithm>
#include <unordered_map>

#include "tools/book/experience_input.h"

namespace quorvex::book {

namespace {

struct MoveKey {
  int64_t crc, x, y;
  bool operator==(const MoveKey&) const = default;
};

struct MoveKeyHash {
  std::size_t operator()(const MoveKey& key) const {
    // CRC is already a digest; the point only tells the moves of one position apart.
    const uint64_t point = static_cast<uint64_t>(key.x * 64 + key.y);
    return static_cast<std::size_t>(static_cast<uint64_t>(key.crc) ^ point * 0x9E3779B97F4A7C15u);
  }
};

constexpr std::size_t kNoSlot = SIZE_MAX;

struct Holders {
  std::size_t firstFile;
  bool shared = false;         // held by another file too
  std::size_t slot = kNoSlot;  // where the joined row stands in the output
};

}  // namespace

MergedRecords MergeRecords(const std::vector<std::vector<ExperienceRecord>>& files) {
  // 1. Which moves more than one file holds.
  std::unordered_map<MoveKey, Holders, MoveKeyHash> moves;
  for (std::size_t f = 0; f < files.size(); ++f) {
    for (const ExperienceRecord& row : files[f]) {
      auto [at, added] = moves.try_emplace({row.crc, row.x, row.y}, Holders{f});
      if (!added && at->second.firstFile != f) at->second.shared = true;
    }
  }

  // 2. The rows in order, the shared ones summed into the first of them.
  MergedRecords merged;
  std::vector<std::size_t> joinedSlots;
  for (const auto& file : files) {
    for (const ExperienceRecord& row : file) {
      Holders& holders = moves.at({row.crc, row.x, row.y});
      if (!holders.shared) {
        merged.rows.push_back(row);
        continue;
      }
      ++merged.joinedFrom;
      if (holders.slot == kNoSlot) {
        holders.slot = merged.rows.size();
        joinedSlots.push_back(holders.slot);
        merged.rows.push_back(row);
        continue;
      }
      ExperienceRecord& joined = merged.rows[holders.slot];
      joined.wins += row.wins;
      joined.losses += row.losses;
      joined.touch = std::max(joined.touch, row.touch);
    }
  }
  merged.joined = static_cast<int64_t>(joinedSlots.size());

  // 3. The sums bounded by the engine's own rules, on the joined rows alone.
  if (joinedSlots.empty()) return merged;
  const auto scratch = StartEmptyEngine(0);
  std::size_t next = 0;
  scratch->store().LoadExperience([&](ExperienceRecord& record) {
    if (next == joinedSlots.size()) return false;
    record = merged.rows[joinedSlots[next++]];
    return true;
  });
  scratch->store().BoundCounts();
  const std::vector<ExperienceRecord> bounded = StoreRows(*scratch);
  if (bounded.size() != joinedSlots.size()) {
    merged.error = "the store took only " + std::to_string(bounded.size()) + " of the " +
                   std::to_string(joinedSlots.size()) + " joined rows (out of memory?)";
    return merged;
  }
  for (std::size_t i = 0; i < bounded.size(); ++i) {
    merged.rows[joinedSlots[i]] = bounded[i];
  }
  return merged;
}

}  // namespace quorvex::book

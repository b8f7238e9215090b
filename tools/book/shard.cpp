#include "tools/book/shard.h"

#include "tools/book/training_schedule.h"
#include "tools/command_line/whole_number.h"

namespace quorvex::book {

std::optional<Shard> ParseShard(const std::string& text) {
  const std::size_t slash = text.find('/');
  int64_t index = 0, count = 0;
  if (slash == std::string::npos ||
      !command_line::ReadWholeNumber(text.substr(0, slash), 1, MaxShards, index) ||
      !command_line::ReadWholeNumber(text.substr(slash + 1), 1, MaxShards, count) ||
      index > count) {
    return std::nullopt;
  }
  return Shard{static_cast<int32_t>(index), static_cast<int32_t>(count)};
}

std::vector<int32_t> ShardOpenings(int32_t openings, Shard shard) {
  std::vector<int32_t> mine;
  for (int32_t i = shard.index - 1; i < openings; i += shard.count) mine.push_back(i);
  return mine;
}

int32_t ShardGames(int32_t games, int32_t opponents, int32_t openings, Shard shard) {
  int32_t mine = 0;
  for (int32_t game = 0; game < games; ++game) {
    mine += ScheduleGame(game, opponents, openings).opening % shard.count == shard.index - 1;
  }
  return mine;
}

std::string ShardPath(const std::string& out, Shard shard) {
  return out + ".shard-" + std::to_string(shard.index) + "-of-" + std::to_string(shard.count);
}

}  // namespace quorvex::book

#pragma once
// The shares of a training run's openings, for training them apart: in
// separate processes (train --jobs), on separate machines (train --shard
// under a job runner), joined again afterwards (merge).
//
// The split is fixed by the openings' order in their file: opening i
// (from 0) goes to share i mod N + 1, so every opening lands in exactly one
// share, and shares differ in size by one opening at most.
//
// A share plays the run's games that the whole run's schedule
// (training_schedule.h) deals to its openings, in that schedule's order.
// Those are exactly the games of a run over the share's openings alone, in
// file order, whose --games is the share's count: the whole schedule goes
// through the openings one after the other, so leaving out the others'
// games leaves the share's own schedule.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvex::book {

struct Shard {
  int32_t index = 1;  // K, from 1
  int32_t count = 1;  // N
};

// "K/N" with 1 <= K <= N <= MaxShards; empty otherwise.
inline constexpr int32_t MaxShards = 1000;
std::optional<Shard> ParseShard(const std::string& text);

// The openings of the share, as their numbers (from 0) among `openings`.
std::vector<int32_t> ShardOpenings(int32_t openings, Shard shard);

// How many of the run's `games` the schedule over `opponents` and
// `openings` deals to the share's openings.
int32_t ShardGames(int32_t games, int32_t opponents, int32_t openings, Shard shard);

// The file of the share beside `out`: "OUT.shard-K-of-N".
std::string ShardPath(const std::string& out, Shard shard);

}  // namespace quorvex::book

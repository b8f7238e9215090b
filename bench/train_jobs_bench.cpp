// Training throughput of quorvex-book train, run as the program it is: the
// games per minute of one process (jobs 0: no --jobs), of --jobs 1 (one
// shard process and the join) and of --jobs 2 (two shards at once). The
// opponent is the brain itself with a fixed seed and an empty store, a
// fresh process each game, as in the tests; each iteration trains a fresh
// run of the same 240 games over the twelve openings, so every iteration
// plays the very same games. Real time: the work is in other processes.
//
// The twelve openings' games differ in length, and a share is a fixed set
// of openings, so two shares rarely hold the same work; --jobs 2 then waits
// for the longer one. The equal-shares case measures the jobs alone: with
// --jobs 1, half the games over the twelve openings; with --jobs 2, all of
// them over a file that lists each opening twice in a row, so that each of
// the two shares plays the very games of the --jobs 1 run. On a shared
// machine, --benchmark_enable_random_interleaving=true spreads its slow
// spells over every case alike.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kGames = 240;

// A scratch directory with a copy of the brain and its empty store.
struct Scratch {
  Scratch() {
    char pattern[] = "/tmp/quorvex-bench-XXXXXX";
    dir = mkdtemp(pattern);
    std::filesystem::create_directory(dir + "/opponent");
    std::filesystem::copy_file(QUORVEX_BRAIN_PATH, dir + "/opponent/pbrain-quorvex");
    std::ofstream(dir + "/opponent/Experience.bin");
    // Each opening twice in a row: share 1 of 2 takes the first copy of
    // every opening, share 2 the second.
    std::ifstream balanced(BALANCED_OPENINGS_PATH);
    std::ofstream doubled(dir + "/doubled.txt");
    for (std::string line; std::getline(balanced, line);) {
      doubled << line << '\n';
      if (!line.empty() && line[0] != '#') doubled << line << '\n';
    }
  }
  ~Scratch() { std::filesystem::remove_all(dir); }
  std::string dir;
};

void TrainGamesPerMinute(benchmark::State& state, bool equalShares) {
  const auto jobs = state.range(0);
  const int games = equalShares && jobs == 1 ? kGames / 2 : kGames;
  const Scratch scratch;
  setenv("QUORVEX_SEED", "5", 1);
  const std::string openings =
      equalShares && jobs == 2 ? scratch.dir + "/doubled.txt" : std::string(BALANCED_OPENINGS_PATH);
  const std::string command = std::string(QUORVEX_BOOK_PATH) + " train " + scratch.dir +
                              "/out.bin --opponent " + scratch.dir + "/opponent/pbrain-quorvex" +
                              " --openings " + openings +
                              " --games " + std::to_string(games) +
                              " --turn-ms 60000 --seed 9 --touch 71000" +
                              (jobs > 0 ? " --jobs " + std::to_string(jobs) : "") +
                              " > /dev/null 2>&1";
  int64_t played = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("quorvex-book train failed");
      break;
    }
    played += games;
  }
  const std::chrono::duration<double, std::ratio<60>> minutes =
      std::chrono::steady_clock::now() - start;
  state.counters["games_per_minute"] = static_cast<double>(played) / minutes.count();
}

void BM_TrainGamesPerMinute(benchmark::State& state) { TrainGamesPerMinute(state, false); }
void BM_TrainEqualShares(benchmark::State& state) { TrainGamesPerMinute(state, true); }

BENCHMARK(BM_TrainEqualShares)
    ->ArgName("jobs")
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->Repetitions(5);

BENCHMARK(BM_TrainGamesPerMinute)
    ->ArgName("jobs")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->Repetitions(5);

}  // namespace

// Training throughput of quorvex-book train, run as the program it is: the
// games per minute of one process (jobs 0: no --jobs), of --jobs 1 (one
// shard process and the join) and of --jobs 2 (two shards at once). The
// opponent is the brain itself with a fixed seed and an empty store, a
// fresh process each game, as in the tests; each iteration trains a fresh
// run of the same 240 games over the twelve openings, so every iteration
// plays the very same games. Real time: the work is in other processes.

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
  }
  ~Scratch() { std::filesystem::remove_all(dir); }
  std::string dir;
};

void BM_TrainGamesPerMinute(benchmark::State& state) {
  const Scratch scratch;
  setenv("QUORVEX_SEED", "5", 1);
  const auto jobs = state.range(0);
  const std::string command = std::string(QUORVEX_BOOK_PATH) + " train " + scratch.dir +
                              "/out.bin --opponent " + scratch.dir + "/opponent/pbrain-quorvex" +
                              " --openings " + BALANCED_OPENINGS_PATH +
                              " --games " + std::to_string(kGames) +
                              " --turn-ms 60000 --seed 9 --touch 71000" +
                              (jobs > 0 ? " --jobs " + std::to_string(jobs) : "") +
                              " > /dev/null 2>&1";
  int64_t games = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("quorvex-book train failed");
      break;
    }
    games += kGames;
  }
  const std::chrono::duration<double, std::ratio<60>> minutes =
      std::chrono::steady_clock::now() - start;
  state.counters["games_per_minute"] = static_cast<double>(games) / minutes.count();
}

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

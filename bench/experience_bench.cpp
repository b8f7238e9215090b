// Start-up load and lookup of an experience file of tournament size: a
// Gomocup entry may carry 8 MB of files, about 285,000 records.
//
// The "Literal" benchmarks run the store's statements as plain texts, one
// insert statement per record and no index on PrevCRC, for comparison with
// what the store does.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "book/experience_file.h"
#include "book/experience_store.h"
#include "book/statement.h"

namespace quorvex {
namespace {

constexpr int RecordCount = 285000;

// A file of games grown as a tree: every record continues the position of
// an earlier one, so a position has about one recorded continuation, some
// many. Written once per process, removed at exit.
struct TournamentFile {
  TournamentFile() {
    path = (std::filesystem::temp_directory_path() /
            ("quorvex-bench-" + std::to_string(getpid()) + ".bin"))
               .string();
    std::mt19937_64 random(2016);
    std::vector<int64_t> keys = {7729052115359535890};
    std::vector<uint8_t> bytes(std::size_t{RecordCount} * ExperienceRecordBytes);
    for (int i = 0; i < RecordCount; ++i) {
      ExperienceRecord record;
      record.prevCrc = keys[random() % keys.size()];
      record.crc = static_cast<int64_t>(random());
      record.x = static_cast<int64_t>(random() % 30) - 4;
      record.y = static_cast<int64_t>(random() % 30) - 4;
      record.wins = static_cast<int64_t>(random() % 8);
      record.losses = static_cast<int64_t>(random() % 8);
      record.moveNo = static_cast<int64_t>(random() % 60) + 1;
      record.touch = 71000 + static_cast<int64_t>(random() % 1000);
      keys.push_back(record.crc);
      EncodeExperienceRecord(record, bytes.data() + std::size_t(i) * ExperienceRecordBytes);
      if (i % 97 == 0) probes.push_back(record.prevCrc);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  ~TournamentFile() { std::remove(path.c_str()); }
  std::string path;
  std::vector<int64_t> probes;  // keys of positions in the file
};

const TournamentFile& File() {
  static const TournamentFile file;
  return file;
}

// The load as literal statements: each record its own insert text and its
// own implicit transaction, the index on CRC only.
void LoadLiterally(Database& db, const std::string& path) {
  db.Open(":memory:");
  db.Execute(
      "CREATE TABLE Openings (CRC int, PrevCRC int, X INT, Y INT, WINS INT, LOSSES INT, MoveNo "
      "INT, Touch INT);");
  ExperienceFileReader file(path);
  ExperienceRecord r;
  while (file.Next(r)) {
    db.Execute("Insert into Openings(CRC,PrevCRC,X,Y,WINS,LOSSES, MoveNo, touch) values(" +
               std::to_string(r.crc) + "," + std::to_string(r.prevCrc) + "," + std::to_string(r.x) +
               "," + std::to_string(r.y) + "," + std::to_string(r.wins) + "," +
               std::to_string(r.losses) + "," + std::to_string(r.moveNo) + "," +
               std::to_string(r.touch) + ")");
  }
  db.Execute("CREATE Index Search on Openings (CRC);");
  Statement maxTouch(db, "Select max(touch) as MaxTouch from openings");
  maxTouch.Step();
  benchmark::DoNotOptimize(maxTouch.Int("MaxTouch"));
}

void BM_LoadLiteral(benchmark::State& state) {
  const std::string& path = File().path;
  for (auto _ : state) {
    Database db;
    LoadLiterally(db, path);
  }
  state.SetItemsProcessed(state.iterations() * RecordCount);
}
BENCHMARK(BM_LoadLiteral)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LoadExperience(benchmark::State& state) {
  const std::string& path = File().path;
  for (auto _ : state) {
    ExperienceStore store;
    store.LoadExperience(path);
    benchmark::DoNotOptimize(store.RunTouch());
  }
  state.SetItemsProcessed(state.iterations() * RecordCount);
}
BENCHMARK(BM_LoadExperience)->Unit(benchmark::kMillisecond)->Iterations(1);

void Lookups(benchmark::State& state, ExperienceStore& store) {
  const std::vector<int64_t>& probes = File().probes;
  std::size_t next = 0;
  int64_t found = 0;
  for (auto _ : state) {
    MoveRecord result;
    found += store.LookupOpening(probes[next], result);
    next = (next + 1) % probes.size();
  }
  benchmark::DoNotOptimize(found);
}

// The lookup's query as a table scan: the store without its PrevCRC index.
void BM_LookupTableScan(benchmark::State& state) {
  ExperienceStore store;
  store.LoadExperience(File().path);
  store.Db().Execute("drop index SearchPrev");
  Lookups(state, store);
}
BENCHMARK(BM_LookupTableScan)->Unit(benchmark::kMicrosecond);

void BM_LookupOpening(benchmark::State& state) {
  ExperienceStore store;
  store.LoadExperience(File().path);
  Lookups(state, store);
}
BENCHMARK(BM_LookupOpening)->Unit(benchmark::kMicrosecond);

void BM_RecordMove(benchmark::State& state) {
  ExperienceStore store;
  store.LoadExperience(File().path);
  int64_t key = 1;
  for (auto _ : state) {
    store.RecordMove(++key, 7, 11, 11, 3, 1, 1);
  }
}
BENCHMARK(BM_RecordMove)->Unit(benchmark::kMicrosecond);

// A 40-stone game credited at its end; the table-wide rules read all rows.
void BM_LearnFromGame(benchmark::State& state) {
  ExperienceStore store;
  store.LoadExperience(File().path);
  KeyHistory keys{};
  MoveBuffer moves{};
  for (int32_t i = 1; i <= 40; ++i) {
    keys[i] = File().probes[static_cast<std::size_t>(i)];
    moves[i] = MakeMoveEntry(i % 20, i / 2);
  }
  for (auto _ : state) store.LearnFromGame(1, 1, 40, keys, moves);
}
BENCHMARK(BM_LearnFromGame)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvex

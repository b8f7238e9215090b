#include "tools/book/train_jobs.h"

#include <poll.h>
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <list>

#include "platform/platform.h"
#include "tools/book/book_output.h"
#include "tools/book/commands.h"
#include "tools/book/learning_curve.h"
#include "tools/book/resume_file.h"
#include "tools/book/shard.h"
#include "tools/book/shard_process.h"
#include "tools/book/signal_stop.h"
#include "tools/gomocup/brain_process/monotonic_clock.h"
#include "tools/gomocup/referee/openings.h"

namespace quorvex::book {

namespace {

struct Share {
  Shard shard;
  std::string name;  // "shard K/N"
  std::string file;
  int32_t games = 0;  // its part of the run's games
  ShardProcess process;
  std::ofstream log;
  int32_t lastGame = 0;    // the number of its last game line
  int32_t playedHere = 0;  // games it finished since we started it
  BlockScore blocks;       // the sum of the blocks it reported
  bool wrote = false;      // it wrote its file in this run
  int status = -1;         // its exit status, once it has ended
};

// The run's seed: given, else that of a share's resume file, so that the
// same command goes on, else drawn.
uint32_t RunSeed(const BookOptions& options, const std::list<Share>& shares) {
  if (options.seed) return *options.seed;
  for (const Share& share : shares) {
    std::string error;
    if (const auto point = ReadResumePoint(ResumePath(share.file), error)) return point->seed;
  }
  return ProcessSeed();
}

std::string Score(const BlockScore& score) {
  char text[64];
  std::snprintf(text, sizeof text, "%d%s/%d %d%%", static_cast<int>(score.halfPoints / 2),
                score.halfPoints % 2 != 0 ? ".5" : "", static_cast<int>(score.games),
                score.games > 0
                    ? static_cast<int>((50 * score.halfPoints + score.games / 2) / score.games)
                    : 0);
  return text;
}

// "all shards: 40/300 games, 2400 games/hour; score of the blocks shown
// 21.5/40 54%". The games per hour are those played since the start.
std::string RunLine(const std::list<Share>& shares, int64_t startMs) {
  int32_t finished = 0, total = 0, playedHere = 0;
  BlockScore score;
  for (const Share& share : shares) {
    finished += share.lastGame;
    total += share.games;
    playedHere += share.playedHere;
    score.games += share.blocks.games;
    score.halfPoints += share.blocks.halfPoints;
  }
  const double hours = static_cast<double>(match::NowMs() - startMs) / 3.6e6;
  std::string line =
      "all shards: " + std::to_string(finished) + "/" + std::to_string(total) + " games";
  if (hours > 0)
    line += ", " + std::to_string(static_cast<int64_t>(playedHere / hours)) + " games/hour";
  if (score.games > 0) line += "; score of the blocks shown " + Score(score);
  return line + "\n";
}

// One line a share wrote on its standard output.
void Follow(Share& share, const std::string& line, const std::list<Share>& shares, int64_t startMs,
            std::ostream& out) {
  share.log << line << std::endl;  // flushed: the log is for following
  int number = 0, of = 0;
  if (std::sscanf(line.c_str(), "game %d/%d", &number, &of) == 2) {
    if (line.find(": abandoned") == std::string::npos) {
      share.lastGame = number;
      ++share.playedHere;
    }
  } else if (const auto block = ReadBlockLine(line)) {
    share.blocks.games += block->games;
    share.blocks.halfPoints += block->halfPoints;
    out << share.name << ": " << line << "\n" << RunLine(shares, startMs) << std::flush;
  } else if (line.starts_with("wrote " + share.file + ":")) {
    share.wrote = true;
  } else if (line.starts_with("going on from ")) {
    std::sscanf(line.c_str() + line.find(": "), ": %d games finished", &share.lastGame);
  }
}

// What became of a share, once it has ended.
std::string Outcome(const Share& share, bool stopping) {
  const std::string games =
      std::to_string(share.lastGame) + " of " + std::to_string(share.games) + " games";
  if (share.status == ExitDone) return "done: " + games + ", in " + share.file;
  if (stopping && share.wrote) {
    return "stopped after " + games + "; its file and " + ResumePath(share.file) + " are written";
  }
  return "failed (exit status " + std::to_string(share.status) + ") after " + games +
         "; its output is in " + share.file + ".log";
}

}  // namespace

std::vector<std::string> ShardArguments(const BookOptions& options, Shard shard, uint32_t seed) {
  const std::string k = std::to_string(shard.index) + "/" + std::to_string(shard.count);
  std::vector<std::string> args = {
      "train", ShardPath(options.files[0], shard), "--shard", k, "--seed", std::to_string(seed)};
  const auto add = [&](const char* name, const std::string& value) {
    args.push_back(name);
    args.push_back(value);
  };
  for (const std::string& opponent : options.opponents) add("--opponent", opponent);
  add("--games", std::to_string(options.games));
  if (!options.openings.empty()) add("--openings", options.openings);
  if (options.touch) add("--touch", std::to_string(*options.touch));
  if (options.checkpointEvery > 0)
    add("--checkpoint-every", std::to_string(options.checkpointEvery));
  add("--block", std::to_string(options.block));
  add("--turn-ms", std::to_string(options.turnMs));
  add("--size", std::to_string(options.size));
  if (!options.protocolLog.empty()) add("--protocol-log", ShardPath(options.protocolLog, shard));
  return args;
}

int RunTrainJobs(const BookOptions& options, std::ostream& out, std::ostream& err) {
  const std::string& outPath = options.files[0];
  std::string error;
  // 1. Everything that can be wrong before a share starts.
  if (!options.base.empty()) {
    err << "quorvex-book: --jobs takes no --base: every share would start from its rows, and "
           "the join would count them once per share; go on from the shares' own files "
           "instead (see train --help)\n";
    return ExitBadArguments;
  }
  int32_t openings = 1;
  if (!options.openings.empty()) {
    const auto loaded = match::LoadOpenings(options.openings, options.size, error);
    if (!loaded) {
      err << "quorvex-book: " << error << "\n";
      return ExitFileFault;
    }
    openings = static_cast<int32_t>(loaded->size());
  }
  if (options.jobs > openings) {
    err << "quorvex-book: --jobs " << options.jobs << ": the run has " << openings
        << (openings == 1 ? " opening" : " openings") << ", and every share needs one\n";
    return ExitBadArguments;
  }
  if (!CheckWritable(outPath, error)) {
    err << "quorvex-book: " << error << "\n";
    return ExitFileFault;
  }
  std::error_code failed;
  const std::string program = std::filesystem::read_symlink("/proc/self/exe", failed).string();
  if (failed) {
    err << "quorvex-book: cannot find this program to start its shares: " << failed.message()
        << "\n";
    return ExitFileFault;
  }

  // 2. The shares, started.
  std::list<Share> shares;  // a list: a share's process and streams never move
  const int32_t opponents = static_cast<int32_t>(options.opponents.size());
  for (int32_t k = 1; k <= options.jobs; ++k) {
    Share& share = shares.emplace_back();
    share.shard = {k, options.jobs};
    share.name = "shard " + std::to_string(k) + "/" + std::to_string(options.jobs);
    share.file = ShardPath(outPath, share.shard);
    share.games = ShardGames(options.games, opponents, openings, share.shard);
  }
  const uint32_t seed = RunSeed(options, shares);
  const SignalStop signals(
      "quorvex-book: stopping: every shard abandons its game in play and writes its file; "
      "then they are joined\n",
      "the run was stopped");
  const int64_t startMs = match::NowMs();
  out << "train --jobs " << options.jobs << ": engine seed " << seed << "; each shard's file "
      << "beside " << outPath << ", its output in that file's .log\n";
  for (Share& share : shares) {
    const bool goesOn = std::filesystem::exists(ResumePath(share.file), failed);
    share.log.open(share.file + ".log", goesOn ? std::ios::app : std::ios::trunc);
    std::vector<std::string> args = ShardArguments(options, share.shard, seed);
    args.insert(args.begin(), program);
    if (!share.process.Start(program, args, error)) {
      err << "quorvex-book: " << share.name << ": " << error << "\n";
      return ExitFileFault;  // the shares already started are ended as they go
    }
    out << share.name << ": " << ShardOpenings(openings, share.shard).size() << " openings, "
        << share.games << " games, into " << share.file << (goesOn ? " (going on)" : "") << "\n";
  }
  out << std::flush;

  // 3. Their output followed until every one has ended.
  bool forwarded = false;
  for (;;) {
    bool running = false;
    for (Share& share : shares) {
      if (share.process.Running() && share.process.Fd(0) < 0 && share.process.Fd(1) < 0) {
        share.status = share.process.Wait();
        out << share.name << ": " << Outcome(share, signals.Switch().IsSet()) << "\n" << std::flush;
      }
      running = running || share.process.Running();
    }
    if (!running) break;
    if (signals.Switch().IsSet() && !forwarded) {
      for (const Share& share : shares) share.process.Signal(SIGTERM);
      forwarded = true;
    }
    std::vector<pollfd> fds;
    std::vector<std::pair<Share*, int>> owners;
    for (Share& share : shares) {
      for (int stream = 0; stream < 2; ++stream) {
        if (share.process.Fd(stream) < 0) continue;
        fds.push_back({share.process.Fd(stream), POLLIN, 0});
        owners.emplace_back(&share, stream);
      }
    }
    if (!forwarded) fds.push_back({signals.Switch().fd(), POLLIN, 0});
    if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) break;
    for (std::size_t i = 0; i < owners.size(); ++i) {
      if (fds[i].revents == 0) continue;
      auto [share, stream] = owners[i];
      std::vector<std::string> lines;
      share->process.Read(stream, lines);
      for (const std::string& line : lines) {
        if (stream == 0) {
          Follow(*share, line, shares, startMs, out);
        } else {
          share->log << line << std::endl;
          err << share->name << ": " << line << "\n" << std::flush;
        }
      }
    }
  }

  // 4. The join: of every share when all are done, of what they wrote when
  //    the run was stopped; none when a share failed.
  const bool stopping = signals.Switch().IsSet();
  BookOptions join;
  join.command = "merge";
  join.files = {outPath};
  std::string failure;
  int status = ExitDone;
  for (const Share& share : shares) {
    if (share.status == ExitDone || (stopping && share.wrote)) {
      join.files.push_back(share.file);
    } else if (!stopping && failure.empty()) {
      failure = share.name;
      status = share.status > 0 && share.status < ExitStopped ? share.status : ExitFileFault;
    }
  }
  out << RunLine(shares, startMs);
  if (!failure.empty()) {
    err << "quorvex-book: " << outPath << " is not written: " << failure
        << " failed; the shards' files stay as they are, and the same command goes on from "
           "where each stopped\n";
    return status;
  }
  if (join.files.size() == 1) {
    err << "quorvex-book: " << outPath << " is not written: no shard wrote its file\n";
    return stopping ? ExitStopped : ExitFileFault;
  }
  status = RunMerge(join, out, err);
  if (stopping) {
    out << "the run is unfinished: " << outPath << " joins what the shards hold; the same "
        << "command goes on from where each stopped\n";
  }
  return status == ExitDone && stopping ? ExitStopped : status;
}

}  // namespace quorvex::book

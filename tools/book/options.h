#pragma once
// The command line of quorvex-book:
//   quorvex-book stats FILE
//   quorvex-book dump FILE [--csv]
//   quorvex-book learn OUT GAME... [--base FILE] [--touch N]
//   quorvex-book train OUT --opponent CMD [--opponent CMD]... [--games N]
//                [--openings FILE] [--base FILE] [--touch N]
//                [--checkpoint-every K] [--block N] [--turn-ms MS] [--size N]
//                [--seed N] [--protocol-log FILE] [--shard K/N | --jobs J]
//   quorvex-book trim IN OUT [--max-bytes N]
//   quorvex-book merge OUT FILE...
// Options may stand anywhere after the command word; each takes the next
// word as its value; --opponent may be given more than once, any other
// option given twice takes its last value. An option that the command does
// not take is refused.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/book/shard.h"

namespace quorvex::book {

inline constexpr int64_t GomocupEntryBytes = 8000000;

struct BookOptions {
  std::string command;  // stats, dump, learn, train, trim or merge; empty with help alone
  std::vector<std::string> files;  // the words that are not options, in order
  bool help = false;               // print UsageText(command) and stop
  bool csv = false;
  std::string base;
  std::vector<std::string> opponents;  // train: in the order given
  std::string openings;
  std::optional<int32_t> touch;  // the run's stamp; unset: as a brain would stamp it
  int32_t checkpointEvery = 0;   // 0: OUT only at the end
  int32_t block = 20;            // games per line of the learning curve
  int32_t games = 1;
  int32_t turnMs = 5000;
  int32_t size = 20;
  std::optional<uint32_t> seed;
  std::string protocolLog;
  std::optional<Shard> shard;  // train: only this share of the openings
  int32_t jobs = 0;            // train: 0 one process; J, every one of J shares at once
  int64_t maxBytes = GomocupEntryBytes;
};

// Empty, with `error` saying what is wrong, on a bad command line.
std::optional<BookOptions> ParseOptions(const std::vector<std::string>& args, std::string& error);

// The help of one command, or of the tool when `command` is empty.
std::string UsageText(const std::string& command);

}  // namespace quorvex::book

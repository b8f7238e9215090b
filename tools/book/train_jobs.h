#pragma once
// train --jobs J: the run's openings in J shares (shard.h), all trained at
// once, each by a process of this same program (shard_process.h) running
// the ordinary command
//   quorvex-book train OUT.shard-K-of-J --shard K/J --seed S ...
// with the run's other options, its output kept in OUT.shard-K-of-J.log;
// then the shares' files are joined into OUT (experience_merge.h), in
// share order. Every share takes the run's seed: the one given, else the
// one its resume file holds, else one drawn here.
//
// Progress: a share's block lines, each with its name before it, and after
// each a line for the whole run (games finished of all, games per hour,
// the score of the blocks reported). A share's errors are shown as they
// come, with its name before them.
//
// Ctrl-C or SIGTERM: every share is sent SIGTERM, abandons its game in
// play and writes its file and resume file; once all have gone, the files
// they wrote are joined into OUT and the program ends by the signal. The
// same command then goes on where each share stopped. A share that fails
// otherwise leaves OUT unwritten: the shares' files stay as they are.

#include <ostream>
#include <string>
#include <vector>

#include "tools/book/options.h"

namespace quorvex::book {

int RunTrainJobs(const BookOptions& options, std::ostream& out, std::ostream& err);

// The arguments (after the program) of share `shard` of the run
// `options`, which has no --base: "train", its file, --shard and --seed,
// and the run's options but --jobs, with --protocol-log naming the
// share's own log.
std::vector<std::string> ShardArguments(const BookOptions& options, Shard shard, uint32_t seed);

}  // namespace quorvex::book

#pragma once
// Developer hooks of the brain executable, read from its environment, for
// tests and tools that must reproduce a brain run or see its store:
//
//   QUORVEX_SEED=N         (decimal, 0..4294967295) the seed of the random
//                          generator instead of the one drawn at start-up;
//   QUORVEX_STORE_DUMP=P   the whole store is written to P (an experience
//                          file, experience_write.h) at every START, before
//                          it is answered, and when the brain ends (END or
//                          end of input); "%p" in P stands for the process
//                          id, so two brains of one self-play can share
//                          the setting.
//
// Unset, they change nothing. Set, they change no reply, no byte of
// standard output and no stored row; a malformed value, a dump that names
// the experience file itself (never written) and a failed dump are told on
// standard error and otherwise ignored. Only brain/main.cpp reads them.

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "brain/engine.h"

namespace quorvex {

struct BrainHooks {
  std::optional<uint32_t> seed;
  std::string storeDumpPath;  // "%p" replaced; empty when there is no dump
};

// Reads both settings through `getenv` (the process environment in the
// brain, anything in a test); problems go to `problems`.
BrainHooks ReadBrainHooks(const std::function<const char*(const char*)>& getenv,
                          int64_t processId, const std::string& experiencePath,
                          std::ostream& problems);

// Writes the store of `engine` to `path`; a failure or a warning of the
// writer goes to `problems`.
void DumpStore(Engine& engine, const std::string& path, std::ostream& problems);

}  // namespace quorvex

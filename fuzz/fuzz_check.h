#pragma once
// What the fuzz targets share: a check that stops the run, and a scratch
// directory for the files a target reads.
//
// A failed check prints what did not hold and aborts, so libFuzzer keeps the
// input as a crash (crash-<hash>) and a rerun with that file shows the same
// message.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace quorvex::fuzz {

[[noreturn]] inline void Fail(std::string_view what) {
  std::fprintf(stderr, "fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

inline void Require(bool holds, std::string_view what) {
  if (!holds) Fail(what);
}

// A directory of its own under TMPDIR (or /tmp), made on the first call and
// kept for the life of the process.
const std::string& ScratchDirectory();

}  // namespace quorvex::fuzz

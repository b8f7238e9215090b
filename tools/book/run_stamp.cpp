#include "tools/book/run_stamp.h"

#include <algorithm>

namespace quorvex::book {

int32_t RunStamp(std::optional<int32_t> touch, int32_t loaded) {
  return touch ? std::max(*touch, loaded) : loaded;
}

std::string ApplyRunStamp(Engine& engine, std::optional<int32_t> touch) {
  const int32_t loaded = engine.store().RunTouch();
  const int32_t stamp = RunStamp(touch, loaded);
  engine.store().SetRunTouch(stamp);
  std::string line = "run stamp " + std::to_string(stamp);
  if (touch && stamp != *touch) {
    line += " (not " + std::to_string(*touch) + ": the base holds stamps up to " +
            std::to_string(loaded - 1) + ")";
  }
  return line + (stamp >= LastingTouch ? ": rows past stone 9 last"
                                       : ": rows past stone 9 go at every game learned");
}

std::string DescribeKind(int32_t brainTouch) {
  return brainTouch >= LastingTouch
             ? "rows past stone 9 are kept by a brain loading this file"
             : "rows past stone 9 are not kept by a brain loading this file (its stamp " +
                   std::to_string(brainTouch) + " is below " + std::to_string(LastingTouch) + ")";
}

}  // namespace quorvex::book

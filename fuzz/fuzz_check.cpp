#include "fuzz/fuzz_check.h"

#include <stdlib.h>

namespace quorvex::fuzz {

const std::string& ScratchDirectory() {
  static const std::string dir = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                          "/quorvex-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) Fail("cannot make a scratch directory");
    return pattern;
  }();
  return dir;
}

}  // namespace quorvex::fuzz

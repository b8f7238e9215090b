#include "tools/gomocup/brain_process/monotonic_clock.h"

#include <chrono>

namespace quorvex::match {

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace quorvex::match

#include "book/position_key.h"

namespace quorvex {

int64_t ComputePositionKey(const MoveBuffer&) { return 0; }  // placeholder until the digest lands

}  // namespace quorvex

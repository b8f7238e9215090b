#pragma once
// Small helpers shared by every subsystem.

#include <cstdint>
#include <string_view>

namespace quorvex {

inline int32_t MinInt(int32_t a, int32_t b) { return a < b ? a : b; }
inline int32_t MaxInt(int32_t a, int32_t b) { return a > b ? a : b; }

// Diagnostic texts go here and nowhere else: standard output carries only
// protocol replies, and a manager may treat any other line as a move.
inline void Trace(std::string_view /*text*/) {}

}  // namespace quorvex

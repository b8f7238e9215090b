#include "tools/gomocup/brain_process/line_assembler.h"

#include <utility>

namespace quorvex::match {

void LineAssembler::Feed(std::string_view bytes) {
  for (const char c : bytes) {
    const bool skip = skipLineFeed_;
    skipLineFeed_ = false;
    if (c == '\n' && skip) continue;
    if (c == '\n' || c == '\r') {
      if (!dropRest_) lines_.push_back(std::move(partial_));
      partial_.clear();
      dropRest_ = false;
      skipLineFeed_ = c == '\r';
      continue;
    }
    if (!dropRest_ && partial_.size() < MaxLineLength) partial_.push_back(c);
  }
}

bool LineAssembler::Next(std::string& line) {
  if (lines_.empty()) return false;
  line = std::move(lines_.front());
  lines_.pop_front();
  return true;
}

std::string LineAssembler::TakePartial() {
  std::string rest = std::move(partial_);
  partial_.clear();
  return rest;
}

std::string LineAssembler::AbandonPartial() {
  if (!partial_.empty()) dropRest_ = true;
  return TakePartial();
}

}  // namespace quorvex::match

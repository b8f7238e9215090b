#pragma once
// Cuts the bytes a brain writes into lines. A line ends at LF, at CR, or at
// CR LF; the terminator is not part of the line. A CR LF split across two
// reads still counts as one terminator.

#include <deque>
#include <string>
#include <string_view>

namespace quorvex::match {

class LineAssembler {
 public:
  // Lines longer than this are cut; the rest of such a line is dropped, so a
  // brain that floods us cannot grow our memory.
  static constexpr size_t MaxLineLength = 65536;

  void Feed(std::string_view bytes);

  // Takes the oldest complete line; false when there is none.
  bool Next(std::string& line);

  // The bytes of an unfinished line (text after the last terminator), taken
  // out; used when the brain closes its output without ending its line.
  std::string TakePartial();

  // The same while the line goes on: its bytes so far are taken out, and
  // the rest of it, up to its terminator, is dropped when it comes, so no
  // part of it is ever returned as a line.
  std::string AbandonPartial();

 private:
  std::deque<std::string> lines_;
  std::string partial_;
  bool skipLineFeed_ = false;
  bool dropRest_ = false;  // the line under way was abandoned
};

}  // namespace quorvex::match

// What every open page is sent: a brain's flood of log lines, kept and cut
// within bounds (which --help states: main_test.cpp).

#include "tools/match/serve/event_hub.h"

#include <gtest/gtest.h>

namespace quorvex::match::serve {
namespace {

TEST(EventHubTest, AFloodOfLogLinesKeepsTheLastOnesEachCut) {
  EventHub hub("{}", nullptr);
  // A two-byte character across the cut is not split.
  const std::string text =
      std::string(EventHub::MaxLogLineBytes - 2, 'm') + "\xc3\xa9" + std::string(65000, 'x');
  for (int i = 0; i < 3000; ++i) hub.Log(std::to_string(i % 10) + text);
  EventHub::Cursor cursor;
  const std::string events = hub.NextEvents(cursor, 0).value_or("");
  const size_t log = events.find("event: log\ndata: [");
  ASSERT_NE(log, std::string::npos);
  const std::string line =
      "\"9" + std::string(EventHub::MaxLogLineBytes - 2, 'm') + " [cut: 65002 more bytes]\"";
  EXPECT_EQ(events.substr(events.size() - line.size() - 3), line + "]\n\n");
  size_t lines = 0;
  for (size_t at = log; (at = events.find(" more bytes]\"", at + 1)) != std::string::npos;) ++lines;
  EXPECT_EQ(lines, EventHub::KeptLogLines);
  EXPECT_LT(events.size(), (EventHub::MaxLogLineBytes + 64) * EventHub::KeptLogLines);
}

}  // namespace
}  // namespace quorvex::match::serve

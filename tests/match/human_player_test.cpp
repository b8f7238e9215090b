// A person at the terminal: a move asked again until it stands, and a
// resignation.

#include "tools/match/human_player.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quorvex::match {
namespace {

TEST(HumanPlayerTest, AsksAgainUntilAFreePointThenPlaysIt) {
  std::istringstream in("zz\nh8\n  \n21,3\n8,8\r\n");
  std::ostringstream out;
  HumanPlayer human(in, out, 20);
  const std::vector<PlayedMove> moves = {{{7, 7}, Stone::Black, 0}};
  const MoveAnswer answer = human.RequestMove({moves, Stone::White, 0, 0, 0});
  EXPECT_EQ(answer.kind, MoveAnswer::Kind::Reply);
  EXPECT_EQ(answer.text, "8,8");
  int refusals = 0;
  for (size_t at = 0; (at = out.str().find("Not a point of this board", at)) != std::string::npos;
       ++at) {
    ++refusals;
  }
  EXPECT_EQ(refusals, 3) << out.str();
  EXPECT_NE(out.str().find("h8 is taken"), std::string::npos);
  EXPECT_FALSE(human.timed());
}

TEST(HumanPlayerTest, ResignsOnRequestOrWhenInputEnds) {
  for (const char* input : {"resign\n", "", "zz\n"}) {
    std::istringstream in(input);
    std::ostringstream out;
    HumanPlayer human(in, out, 15);
    const MoveAnswer answer = human.RequestMove({{}, Stone::Black, 0, 0, 0});
    EXPECT_EQ(answer.kind, MoveAnswer::Kind::Resigned) << input;
  }
}

}  // namespace
}  // namespace quorvex::match

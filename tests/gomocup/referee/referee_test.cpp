// The judging of a player's answer, and the time it is given.

#include "tools/gomocup/referee/referee.h"

#include <gtest/gtest.h>

#include "tools/gomocup/referee/game_board.h"

namespace quorvex::match {
namespace {

using test::BlackAt;

MoveAnswer Reply(const std::string& text, int32_t ms = 10) {
  return {MoveAnswer::Kind::Reply, text, ms};
}

TEST(RefereeTest, JudgesEachKindOfAnswer) {
  GameSettings settings;
  settings.boardSize = 15;
  settings.turnMs = 1000;
  settings.matchMs = 5000;
  settings.toleranceMs = 100;
  const GameBoard board = BlackAt({{7, 7}});
  struct Case {
    const char* name;
    MoveAnswer answer;
    Clock clock;
    std::optional<Point> point;
    const char* reasonPart;
  };
  const std::vector<Case> cases = {
      {"legal", Reply("8,7"), {}, Point{8, 7}, ""},
      {"legal with blanks", Reply(" 0 , 14 "), {}, Point{0, 14}, ""},
      {"within the tolerance", Reply("8,7", 1100), {}, Point{8, 7}, ""},
      {"occupied", Reply("7,7"), {}, std::nullopt, "occupied"},
      {"off the board", Reply("15,3"), {}, std::nullopt, "off the 15x15 board"},
      {"negative", Reply("-1,3"), {}, std::nullopt, "not a move"},
      {"garbage", Reply("hello"), {}, std::nullopt, "not a move"},
      {"trailing text", Reply("3,4 5"), {}, std::nullopt, "not a move"},
      {"unknown", Reply("UNKNOWN"), {}, std::nullopt, "not a move"},
      {"error", Reply("ERROR out of memory"), {}, std::nullopt, "sent ERROR out of memory"},
      {"turn too long", Reply("8,7", 1101), {}, std::nullopt, "over the turn limit of 1000 ms"},
      {"match time used up",
       Reply("8,7", 900),
       {true, 4300},
       std::nullopt,
       "over the match time of 5000 ms"},
      {"match time just within", Reply("8,7", 800), {true, 4300}, Point{8, 7}, ""},
      {"human is never late", Reply("8,7", 999999), {false, 0}, Point{8, 7}, ""},
      {"late and occupied is late", Reply("7,7", 2000), {}, std::nullopt, "turn limit"},
      {"timed out",
       {MoveAnswer::Kind::TimedOut, "", 1100},
       {},
       std::nullopt,
       "no move within 1100 ms"},
      {"crashed",
       {MoveAnswer::Kind::Crashed, "killed by signal 6", 3},
       {},
       std::nullopt,
       "crashed: killed by signal 6"},
      {"resigned",
       {MoveAnswer::Kind::Resigned, "resigned", 0},
       {false, 0},
       std::nullopt,
       "resigned"},
  };
  for (const Case& c : cases) {
    const Verdict verdict = Adjudicate(board, c.answer, settings, c.clock);
    EXPECT_EQ(verdict.point, c.point) << c.name;
    EXPECT_NE(verdict.forfeit.find(c.reasonPart), std::string::npos)
        << c.name << ": " << verdict.forfeit;
    EXPECT_EQ(verdict.forfeit.empty(), c.point.has_value()) << c.name;
  }
}

TEST(RefereeTest, WaitAndTimeLeftFollowTheTighterLimit) {
  GameSettings settings;
  settings.turnMs = 1000;
  settings.toleranceMs = 50;
  settings.matchMs = 0;
  EXPECT_EQ(WaitLimitMs(settings, 123456), 1050);
  EXPECT_EQ(TimeLeftMs(settings, 123456), 2147483647);
  settings.matchMs = 3000;
  EXPECT_EQ(WaitLimitMs(settings, 1000), 1050);
  EXPECT_EQ(WaitLimitMs(settings, 2500), 550);
  EXPECT_EQ(TimeLeftMs(settings, 2500), 500);
  EXPECT_EQ(TimeLeftMs(settings, 4000), 0);
  EXPECT_EQ(WaitLimitMs(settings, 4000), 50);
}

}  // namespace
}  // namespace quorvex::match

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "brain/command_loop.h"
#include "game/position_key.h"
#include "platform/platform.h"
#include "tests/experience_test_support.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

constexpr const char* kAbout =
    "name=\"Quorvex\", version=\"2016\", author=\"Tavenor\", country=\"Japan\"\r\n";

// Counts flushes so a test can tell that each reply left at once.
struct RecordingBuffer : std::stringbuf {
  int syncs = 0;
  int sync() override {
    ++syncs;
    return std::stringbuf::sync();
  }
};

class CommandLoopTest : public ::testing::Test {
 protected:
  // Feeds `input` to the fixture's loop, which keeps its listing state from
  // call to call as from line to line; returns what the loop wrote.
  // `exitCode` receives Run's result.
  std::string Converse(const std::string& input) {
    in_.clear();
    in_.str(input);
    outBuffer_.str("");
    exitCode_ = loop_.Run();
    return outBuffer_.str();
  }

  Engine& engine() { return *engine_; }
  const Game& game() { return engine_->game(); }

  test::TestEngine engine_;
  RecordingBuffer outBuffer_;
  std::istringstream in_;
  std::ostream out_{&outBuffer_};
  int pauses_ = 0;
  CommandLoop loop_{*engine_, in_, out_, [this](int32_t ms) { pauses_ += ms; }};
  int exitCode_ = -1;
};

TEST_F(CommandLoopTest, AnswersTheFixedReplies) {
  EXPECT_EQ(Converse("START 20\n"), "OK\r\n");
  EXPECT_EQ(Converse("ABOUT\n"), kAbout);
  EXPECT_EQ(Converse("RESTART\n"), "UNKNOWN\r\n");
  EXPECT_EQ(Converse("start 20\n"), "UNKNOWN\r\n");
  EXPECT_EQ(Converse("5,5,1\n"), "UNKNOWN\r\n");
  EXPECT_EQ(Converse("\n"), "UNKNOWN\r\n");
  EXPECT_EQ(Converse("INFO timeout_turn 5000\nINFO timeout_match 0\nINFO rule 1\n"), "");
  EXPECT_EQ(engine().TurnSearchLimit(), 4000) << "four fifths of timeout_turn";
}

TEST_F(CommandLoopTest, MatchesOnlyTheFirstFourCharacters) {
  // "STARTLE" is START, "ABOUTX" is ABOUT, "END " is not END.
  EXPECT_EQ(Converse("STARTLE 20\nABOUTX\nEND \n"), std::string("OK\r\n") + kAbout + "UNKNOWN\r\n");
  EXPECT_EQ(Converse("ENDX\nABOUT\n"), std::string("UNKNOWN\r\n") + kAbout);
  EXPECT_EQ(exitCode_, 0);
}

TEST_F(CommandLoopTest, FlushesEveryReplyAtOnce) {
  Converse("START 20\nABOUT\nXYZ\n");
  EXPECT_EQ(outBuffer_.syncs, 3);
}

TEST_F(CommandLoopTest, EndStopsReadingAndEndOfInputEndsToo) {
  EXPECT_EQ(Converse("START 20\nEND\nABOUT\n"), "OK\r\n");
  EXPECT_EQ(exitCode_, 0);
  EXPECT_EQ(Converse("START 20\n"), "OK\r\n");
  EXPECT_EQ(exitCode_, 0);
}

TEST_F(CommandLoopTest, StartLaysOutABoardOfTheAnnouncedSize) {
  EXPECT_EQ(Converse("START 20\n"), "OK\r\n");
  EXPECT_EQ(game().Board().size, 20);
  EXPECT_EQ(game().Board().at(21, 21), CellBorder);
  EXPECT_EQ(Converse("START 15\n"), "OK\r\n");
  EXPECT_EQ(game().Board().size, 15);
  EXPECT_EQ(game().Board().at(16, 3), CellBorder);
  EXPECT_EQ(game().Board().at(21, 3), CellEmpty);
  EXPECT_EQ(Converse("START 11\n"), "OK\r\n");
  for (const char* size : {"START 10\n", "START 21\n", "START 0\n", "START -20\n", "START x\n"}) {
    const std::string reply = Converse(size);
    EXPECT_EQ(reply.rfind("ERROR ", 0), 0u) << size << reply;
    EXPECT_EQ(reply.find('\n'), reply.size() - 1) << "one line for " << size;
    EXPECT_EQ(game().Board().size, 11) << "a refused START keeps the game";
  }
}

TEST_F(CommandLoopTest, StartBeginsAnEmptyGameWithNothingLeftOver) {
  Converse("START 20\nTURN 0,19\nTURN 5,5\n");
  ASSERT_EQ(game().MoveCount(), 4);
  Converse("START 20\n");
  EXPECT_EQ(game().MoveCount(), 0);
  EXPECT_EQ(game().NormXVec(), 0);
  EXPECT_EQ(game().NormYVec(), 0);
  EXPECT_EQ(game().LastOpponentMove().x, 0);
  EXPECT_EQ(game().LastOpponentMove().y, 0);
  EXPECT_EQ(game().EngineMovedFirst(), 0);
  for (int32_t n = 1; n < MoveBufferEntries; ++n) {
    ASSERT_EQ(game().MoveBuffer()[n].x, 0);
    ASSERT_EQ(game().MoveBuffer()[n].y, 0);
    ASSERT_EQ(game().KeyHistory()[n], 0);
  }
  for (int32_t x = 1; x <= 20; ++x)
    for (int32_t y = 1; y <= 20; ++y) ASSERT_EQ(game().Board().at(x, y), CellEmpty);
}

TEST_F(CommandLoopTest, BeginOpensInTheCentre) {
  EXPECT_EQ(Converse("START 20\nBEGIN\n"), "OK\r\n10,10\r\n");
  EXPECT_EQ(game().MoveCount(), 1);
  EXPECT_EQ(game().EngineMovedFirst(), 1);
  EXPECT_EQ(game().Board().at(11, 11), CellOwn);
  EXPECT_EQ(game().MoveBuffer()[1].x, 11);
  EXPECT_EQ(game().MoveBuffer()[1].y, 11);
  quorvex::MoveBuffer empty{};
  EXPECT_EQ(game().KeyHistory()[0], ComputePositionKey(empty));
  EXPECT_EQ(game().KeyHistory()[1], game().PositionKey());
  EXPECT_EQ(pauses_, 50);
}

TEST_F(CommandLoopTest, BeginInTheMiddleOfAGameIsRefused) {
  Converse("START 20\nTURN 10,10\n");
  const int32_t moves = game().MoveCount();
  const std::string reply = Converse("BEGIN\n");
  EXPECT_EQ(reply.rfind("ERROR ", 0), 0u) << reply;
  EXPECT_EQ(game().MoveCount(), moves);
  EXPECT_EQ(game().Board().at(11, 11), CellOpponent);
}

TEST_F(CommandLoopTest, TurnPlacesTheOpponentsStoneNormalised) {
  const std::string reply = Converse("START 20\nTURN 0,0\n");
  EXPECT_EQ(reply.substr(0, 4), "OK\r\n");
  // One reply line for the move.
  EXPECT_EQ(reply.find("\r\n", 4), reply.size() - 2);
  EXPECT_EQ(game().Board().at(1, 1), CellOpponent);
  EXPECT_EQ(game().NormXVec(), 10);
  EXPECT_EQ(game().NormYVec(), 10);
  EXPECT_EQ(game().MoveBuffer()[1].x, 11);
  EXPECT_EQ(game().MoveBuffer()[1].y, 11);
  EXPECT_EQ(game().LastOpponentMove().x, 1);
  EXPECT_EQ(game().LastOpponentMove().y, 1);
  quorvex::MoveBuffer firstStone{};
  firstStone[1] = MoveEntry{11, 11};
  EXPECT_EQ(game().KeyHistory()[1], ComputePositionKey(firstStone));
}

TEST_F(CommandLoopTest, TheFirstStoneAnywhereGivesTheSameKey) {
  Converse("START 20\nTURN 0,0\n");
  const int64_t corner = game().KeyHistory()[1];
  Converse("START 20\nTURN 9,9\n");
  EXPECT_EQ(game().KeyHistory()[1], corner);
  EXPECT_EQ(game().MoveBuffer()[1].x, 11);
  EXPECT_EQ(game().MoveBuffer()[1].y, 11);
}

TEST_F(CommandLoopTest, LaterStonesKeepTheFirstStonesOffsets) {
  // Stone 1 at internal (1, 20), the engine's reply, then internal (20, 1).
  Converse("START 20\nTURN 0,19\n");
  EXPECT_EQ(game().NormXVec(), 10);
  EXPECT_EQ(game().NormYVec(), -9);
  Converse("TURN 19,0\n");
  EXPECT_EQ(game().MoveBuffer()[3].x, 30);
  EXPECT_EQ(game().MoveBuffer()[3].y, -8);
}

TEST_F(CommandLoopTest, TurnOffTheBoardOrOnAStoneChangesNothing) {
  Converse("START 15\nBEGIN\n");
  const Game& e = game();
  const int32_t moves = e.MoveCount();
  const int64_t key = e.PositionKey();
  const quorvex::Board before = e.Board();
  for (const char* line : {"TURN 15,3\n", "TURN 3,15\n", "TURN -1,4\n", "TURN 10,10\n",
                           "TURN 99999999999,1\n", "TURN 4,-2147483649\n"}) {
    const std::string reply = Converse(line);
    EXPECT_EQ(reply.rfind("ERROR ", 0), 0u) << line << reply;
    EXPECT_EQ(reply.find('\n'), reply.size() - 1) << line;
    EXPECT_EQ(e.MoveCount(), moves) << line;
    EXPECT_EQ(e.PositionKey(), key) << line;
    EXPECT_EQ(e.Board().cell, before.cell) << line;
  }
}

TEST(CommandLoopLines, WithoutTwoNumbersAreRefusedAndChangeNothing) {
  // Two brains alike, one of which is also sent lines that name no point:
  // a coordinate with no digits, which would read as 0, a point on the
  // board. After them it must stand exactly where the other stands.
  const auto clock = [] { return 0; };
  test::Conversation bad(7, clock);
  test::Conversation good(7, clock);
  const auto both = [&](const char* line) {
    EXPECT_EQ(bad.Say(line), good.Say(line)) << line;
  };
  both("START 20");
  both("INFO timeout_turn 1000");
  both("BOARD");
  for (const char* line : {"x,y,2", ",5,2", "5,,1", ",,1", "$,%,2", "-,+,1"}) {
    EXPECT_EQ(bad.Say(line), "") << line;
    EXPECT_EQ(bad.engine().game().MoveCount(), 0) << line;
  }
  both("9,9,2");
  both("DONE");
  const std::pair<const char*, const char*> turns[] = {
      {"TURN", ""},       {"TURN ,", ","},     {"TURN x,y", "x,y"}, {"TURN 1", "1"},
      {"TURN 1,", "1,"},  {"TURN ,1", ",1"},   {"TURN 3,y", "3,y"}, {"TURN $,%", "$,%"},
      {"TURN -,+", "-,+"}, {"TURN  3,4", ""}, {"TURN\t3,4", ""},
  };
  for (const auto& [line, echo] : turns) {
    EXPECT_EQ(bad.Say(line), "ERROR point \"" + std::string(echo) + "\" is not two integers x,y\r\n");
  }
  both("TURN 10,10");
  both("TURN 7,7 ");
  const Game& b = bad.engine().game();
  const Game& g = good.engine().game();
  EXPECT_EQ(b.MoveCount(), 6);
  EXPECT_EQ(b.MoveCount(), g.MoveCount());
  EXPECT_EQ(b.Board().cell, g.Board().cell);
  EXPECT_EQ(b.MoveBuffer(), g.MoveBuffer());
  EXPECT_EQ(b.KeyHistory(), g.KeyHistory());
  EXPECT_EQ(b.LastOpponentMove().x, g.LastOpponentMove().x);
  EXPECT_EQ(b.LastOpponentMove().y, g.LastOpponentMove().y);
  EXPECT_EQ(test::TableRows(bad.engine().store().Db()), test::TableRows(good.engine().store().Db()));
}

TEST_F(CommandLoopTest, BoardListingPlacesStonesAndRepliesOnlyAtDone) {
  EXPECT_EQ(Converse("START 20\nBOARD\n10,10,1\n10,11,2\n"), "OK\r\n");
  EXPECT_EQ(loop_.BoardInputMode(), 1);
  EXPECT_EQ(game().NormXVec(), 0);
  EXPECT_EQ(game().NormYVec(), 0);
  EXPECT_EQ(game().MoveBuffer()[1].x, 11);
  EXPECT_EQ(game().MoveBuffer()[1].y, 11);
  EXPECT_EQ(game().MoveBuffer()[2].x, 11);
  EXPECT_EQ(game().MoveBuffer()[2].y, 12);
  EXPECT_EQ(game().Board().at(11, 11), CellOwn);
  EXPECT_EQ(game().Board().at(11, 12), CellOpponent);
  EXPECT_EQ(game().LastOpponentMove().x, 11);
  EXPECT_EQ(game().LastOpponentMove().y, 12);
  EXPECT_EQ(game().EngineMovedFirst(), 1);
  EXPECT_EQ(game().MoveCount(), 2);

  const std::string reply = Converse("DONE\n");
  EXPECT_EQ(reply.find("\r\n"), reply.size() - 2) << reply;
  EXPECT_EQ(loop_.BoardInputMode(), 0);
  // The engine's stone is stone 3: no empty step before it.
  EXPECT_EQ(game().MoveCount(), 3);
}

TEST_F(CommandLoopTest, ListingOpenedByTheOpponentClearsEngineMovedFirst) {
  Converse("START 20\nBEGIN\nSTART 20\nBOARD\n3,4,2\n5,5,1\n");
  EXPECT_EQ(game().EngineMovedFirst(), 0);
  EXPECT_EQ(game().NormXVec(), 7);
  EXPECT_EQ(game().NormYVec(), 6);
}

TEST_F(CommandLoopTest, ListingSkipsBadStonesAndKeepsItsState) {
  Converse("START 20\nBOARD\n10,10,1\n10,10,2\n20,3,2\n-1,3,1\n4,4,3\n");
  EXPECT_EQ(game().MoveCount(), 1) << "occupied, off-board and unknown-owner lines place nothing";
  EXPECT_EQ(game().Board().at(11, 11), CellOwn);
  // A TURN inside a listing is a TURN, and the listing goes on after it.
  const std::string reply = Converse("TURN 2,2\n6,6,2\n");
  EXPECT_EQ(reply.find("\r\n"), reply.size() - 2) << reply;
  EXPECT_EQ(loop_.BoardInputMode(), 1);
  EXPECT_EQ(game().Board().at(3, 3), CellOpponent);
  EXPECT_EQ(game().Board().at(7, 7), CellOpponent);
  EXPECT_EQ(game().MoveCount(), 4);
}

TEST_F(CommandLoopTest, RepliesNeverRunPastTheBoardOrOntoStones) {
  // Every reply, on a small board, is a point of that board.
  std::string input = "START 11\n";
  for (int i = 0; i < 60; ++i) input += "TURN " + std::to_string(i % 11) + "," + std::to_string(i / 11) + "\n";
  const std::string out = Converse(input);
  std::istringstream replies(out);
  std::string reply;
  std::getline(replies, reply);
  int answered = 0;
  while (std::getline(replies, reply)) {
    if (reply.rfind("ERROR", 0) == 0) continue;
    ++answered;
    const int x = std::stoi(reply.substr(0, reply.find(',')));
    const int y = std::stoi(reply.substr(reply.find(',') + 1));
    EXPECT_TRUE(x >= 0 && x < 11 && y >= 0 && y < 11) << reply;
  }
  EXPECT_GT(answered, 0);
}

TEST_F(CommandLoopTest, ErrorRepliesEchoOnlyPrintableText) {
  Converse("START 20\n");
  std::string line = "TURN 3";
  line += {'\0', '\x01', '\x7f'};
  line += "9,2" + std::string(300, '7') + "\n";
  const std::string reply = Converse(line);
  EXPECT_EQ(reply.rfind("ERROR point 3???9,2", 0), 0u) << reply;
  EXPECT_LT(reply.size(), 80u);
  for (std::size_t i = 0; i + 2 < reply.size(); ++i)
    EXPECT_TRUE(reply[i] >= 0x20 && reply[i] < 0x7F) << "byte " << i;
}

TEST(CommandLoopWithoutStart, PlaysOnTwentyByTwenty) {
  // A manager that never sends START still gets a sound game: replies on
  // the 20x20 board, on empty points, for as long as the board has room.
  test::Conversation brain(5, MillisecondClock);
  brain.Ask("INFO timeout_turn 20");
  Board referee;
  ClearBoard(referee, DefaultBoardSize);
  std::mt19937 rng(11);
  int replies = 0;
  for (int turn = 0; turn < 250; ++turn) {
    int32_t x = 0, y = 0;
    do {
      x = static_cast<int32_t>(rng() % 20) + 1;
      y = static_cast<int32_t>(rng() % 20) + 1;
    } while (referee.at(x, y) != CellEmpty);
    referee.at(x, y) = CellOpponent;
    const std::string reply = brain.Ask("TURN " + std::to_string(x - 1) + "," + std::to_string(y - 1));
    if (reply.rfind("ERROR", 0) == 0) break;  // the board is full
    const int32_t rx = std::stoi(reply.substr(0, reply.find(','))) + 1;
    const int32_t ry = std::stoi(reply.substr(reply.find(',') + 1)) + 1;
    ASSERT_TRUE(referee.IsPlayable(rx, ry)) << "turn " << turn << ": " << reply;
    ASSERT_EQ(referee.at(rx, ry), CellEmpty) << "turn " << turn << ": " << reply;
    referee.at(rx, ry) = CellOwn;
    ++replies;
    if (2 * (turn + 1) >= 400) break;
  }
  EXPECT_EQ(replies, 200);
  EXPECT_EQ(brain.engine().game().MoveCount(), 400);
}

}  // namespace
}  // namespace quorvex

// Games against tiny scripted brains: each way a brain can answer, or fail
// to, and how the brain player and the referee deal with it.

#include "tools/gomocup/brain_process/brain_player.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/gomocup/gomocup_test_support.h"
#include "tools/gomocup/referee/game_runner.h"

namespace quorvex::match {
namespace {

using test::CountLines;
using test::MakeBrain;
using test::ReadFile;
using test::ScratchDir;
using test::ScriptedCommand;

GameRecord Play(const std::string& blackCommand, const std::string& whiteCommand,
                const GameSettings& settings, test::ShownText* shown = nullptr,
                const std::vector<Point>& opening = {}) {
  auto black = MakeBrain(blackCommand, true, shown ? shown->Sink() : TextSink{});
  auto white = MakeBrain(whiteCommand, true, shown ? shown->Sink() : TextSink{});
  GameRecord record = PlayGame(*black, *white, opening, settings, {});
  black->Finish();
  white->Finish();
  return record;
}

TEST(ScriptedBrainTest, EachMisbehaviourLosesWithItsReason) {
  struct Case {
    const char* black;
    const char* white;
    Ending ending;
    Stone winner;
    const char* reasonPart;
  };
  const std::vector<Case> cases = {
      {"good", "good", Ending::Five, Stone::White, ""},
      {"good", "lf", Ending::Five, Stone::White, ""},
      {"cr", "good", Ending::Five, Stone::White, ""},
      {"good", "occupied", Ending::Forfeit, Stone::Black, "white (scripted_brain) played k11 (10,10), which is occupied"},
      {"occupied", "good", Ending::Forfeit, Stone::White, "which is occupied"},
      {"good", "crash", Ending::Forfeit, Stone::Black, "crashed: killed by signal 6"},
      {"crash", "good", Ending::Forfeit, Stone::White, "black (scripted_brain) crashed"},
      {"good", "error", Ending::Forfeit, Stone::Black, "sent ERROR I give up"},
      {"good", "garbage", Ending::Forfeit, Stone::Black, "\"hello there\", which is not a move"},
      {"offboard", "good", Ending::Forfeit, Stone::White, "played 20,3, off the 20x20 board"},
  };
  for (const Case& c : cases) {
    const GameRecord record =
        Play(ScriptedCommand(c.black), ScriptedCommand(c.white), test::FastSettings());
    const std::string name = std::string(c.black) + " vs " + c.white;
    EXPECT_EQ(record.ending, c.ending) << name << ": " << DescribeEnding(record);
    EXPECT_EQ(record.winner, c.winner) << name;
    EXPECT_NE(record.reason.find(c.reasonPart), std::string::npos) << name << ": " << record.reason;
    if (c.ending == Ending::Five) {
      EXPECT_TRUE(record.board.MakesFive(record.board.moves().back().point)) << name;
    }
  }
}

TEST(ScriptedBrainTest, LateAndHangingBrainsLoseOnTimeAndAreKilled) {
  GameSettings settings = test::FastSettings();
  settings.turnMs = 200;
  settings.toleranceMs = 100;
  struct Case {
    std::string black, white;
    Stone loser;
  };
  const std::vector<Case> cases = {
      {ScriptedCommand("good"), ScriptedCommand("late", "--delay 1500"), Stone::White},
      {ScriptedCommand("hang"), ScriptedCommand("good"), Stone::Black},
      {ScriptedCommand("good"), ScriptedCommand("hang"), Stone::White},
  };
  for (const Case& c : cases) {
    const int64_t before = NowMs();
    const GameRecord record = Play(c.black, c.white, settings);
    const int64_t took = NowMs() - before;
    EXPECT_EQ(record.ending, Ending::Forfeit) << c.black << " vs " << c.white;
    EXPECT_EQ(record.winner, Opponent(c.loser));
    EXPECT_NE(record.reason.find("no move within 300 ms"), std::string::npos) << record.reason;
    // Killed at the wait limit, not after the brain's own delay.
    EXPECT_LT(took, 1400) << c.black << " vs " << c.white;
  }
  // Every brain was reaped: this process has no child left, not even a zombie.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(ScriptedBrainTest, MatchTimeRunsOutAcrossMoves) {
  GameSettings settings = test::FastSettings();
  settings.turnMs = 1000;
  settings.matchMs = 500;
  settings.toleranceMs = 50;
  const GameRecord record =
      Play(ScriptedCommand("good"), ScriptedCommand("late", "--delay 120"), settings);
  EXPECT_EQ(record.ending, Ending::Forfeit);
  EXPECT_EQ(record.winner, Stone::Black);
  EXPECT_NE(record.reason.find("match time left"), std::string::npos) << record.reason;
  // About four replies of 120 ms fit into 500 + 50 ms; fewer on a loaded
  // machine, but never the whole game.
  int whiteMoves = 0;
  for (const PlayedMove& move : record.board.moves()) whiteMoves += move.colour == Stone::White;
  EXPECT_GE(whiteMoves, 2);
  EXPECT_LE(whiteMoves, 4);
}

TEST(ScriptedBrainTest, MessageAndDebugLinesAreShownNeverPlayed) {
  test::ShownText shown;
  const GameRecord record =
      Play(ScriptedCommand("good"), ScriptedCommand("message"), test::FastSettings(), &shown);
  EXPECT_NE(record.ending, Ending::Forfeit) << record.reason;
  // The message brain plays from the far corner; "0,0" and "1,1" in its
  // MESSAGE and DEBUG lines must not become its stones.
  ASSERT_GE(record.board.moves().size(), 2u);
  EXPECT_EQ(record.board.moves()[1].point, (Point{19, 19}));
  for (const PlayedMove& move : record.board.moves()) {
    if (move.colour == Stone::White) {
      EXPECT_NE(move.point, (Point{0, 0}));
      EXPECT_NE(move.point, (Point{1, 1}));
    }
  }
  const size_t whiteMoves = record.board.moves().size() / 2;
  EXPECT_EQ(shown.lines.size(), 2 * whiteMoves);
  ASSERT_GE(shown.lines.size(), 2u);
  EXPECT_EQ(shown.lines[0], "scripted_brain: MESSAGE 0,0 is tempting");
  EXPECT_EQ(shown.lines[1], "scripted_brain: DEBUG 1,1");
}

TEST(ScriptedBrainTest, BrainsHearTheProtocolInCrLfFromTheirOwnDirectory) {
  ScratchDir dir;
  const std::string blackLog = dir.File("black.log");
  const std::string whiteLog = dir.File("white.log");
  GameSettings settings = test::FastSettings();
  settings.boardSize = 15;
  settings.maxMemory = 1 << 20;
  settings.matchMs = 90000;
  const GameRecord record = Play(ScriptedCommand("good", "--log " + blackLog),
                                 ScriptedCommand("good", "--log " + whiteLog), settings);
  ASSERT_EQ(record.ending, Ending::Five) << DescribeEnding(record);
  const std::string brainDir = std::filesystem::path(SCRIPTED_BRAIN_PATH).parent_path().string();
  const size_t blackMoves = (record.board.moves().size() + 1) / 2;
  const size_t whiteMoves = record.board.moves().size() / 2;
  for (const std::string& log : {blackLog, whiteLog}) {
    const std::string text = ReadFile(log);
    // Any line without CR LF would have made the brain answer ERROR and lose.
    EXPECT_EQ(text.rfind("CWD " + brainDir +
                             "\nSTART 15\n"
                             "INFO timeout_turn 2000\nINFO timeout_match 90000\n"
                             "INFO max_memory 1048576\nINFO game_type 1\nINFO rule 0\n",
                         0),
              0u)
        << text;
    EXPECT_EQ(CountLines(text, "END"), 1);
    EXPECT_EQ(text.substr(text.size() - 4), "END\n");
  }
  const std::string black = ReadFile(blackLog);
  const std::string white = ReadFile(whiteLog);
  EXPECT_EQ(CountLines(black, "BEGIN"), 1);
  EXPECT_EQ(CountLines(black, "TURN ", true) + 1, static_cast<int>(blackMoves));
  EXPECT_EQ(CountLines(white, "TURN ", true), static_cast<int>(whiteMoves));
  EXPECT_EQ(CountLines(black, "INFO time_left ", true), static_cast<int>(blackMoves));
  EXPECT_EQ(CountLines(white, "INFO time_left ", true), static_cast<int>(whiteMoves));
  EXPECT_NE(black.find("INFO time_left 90000\nBEGIN\n"), std::string::npos);
  EXPECT_NE(white.find("\nTURN 7,7\n"), std::string::npos);
}

// Whatever its length, an opening reaches the side to move as a manager
// gives it, a BOARD listing, and its first move after that as TURN. A
// single stone is no exception: it is not the opponent's move.
TEST(ScriptedBrainTest, OpeningsReachEachSideAsABoardListing) {
  struct Case {
    std::vector<Point> opening;
    const char* toMove;  // the listing the side to move is given
    const char* other;   // the listing the other side is given at its first move
  };
  const Case cases[] = {
      {{{7, 7}, {8, 8}, {9, 9}},
       "BOARD\n7,7,2\n8,8,1\n9,9,2\nDONE\n",
       "BOARD\n7,7,1\n8,8,2\n9,9,1\n0,0,2\nDONE\n"},
      {{{7, 7}}, "BOARD\n7,7,2\nDONE\n", "BOARD\n7,7,1\n0,0,2\nDONE\n"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    const std::string blackLog = dir.File("black.log");
    const std::string whiteLog = dir.File("white.log");
    auto black = MakeBrain(ScriptedCommand("good", "--log " + blackLog));
    auto white = MakeBrain(ScriptedCommand("good", "--log " + whiteLog));
    const GameRecord record = PlayGame(*black, *white, c.opening, test::FastSettings(), {});
    black->Finish();
    white->Finish();
    ASSERT_EQ(record.ending, Ending::Five) << DescribeEnding(record);
    const auto& moves = record.board.moves();
    const std::size_t first = c.opening.size();
    ASSERT_GE(moves.size(), first + 2);
    EXPECT_EQ(moves[first].point, (Point{0, 0}));
    // The side to move after the opening, and the other side.
    const bool whiteToMove = first % 2 == 1;
    const std::string mover = ReadFile(whiteToMove ? whiteLog : blackLog);
    const std::string other = ReadFile(whiteToMove ? blackLog : whiteLog);
    EXPECT_NE(mover.find(c.toMove), std::string::npos) << mover;
    EXPECT_EQ(CountLines(mover, "BOARD"), 1) << mover;
    EXPECT_EQ(mover.find("\nTURN 7,7\n"), std::string::npos) << mover;
    EXPECT_NE(mover.find("TURN " + std::to_string(moves[first + 1].point.x) + "," +
                         std::to_string(moves[first + 1].point.y) + "\n"),
              std::string::npos)
        << mover;
    EXPECT_NE(other.find(c.other), std::string::npos) << other;
    EXPECT_EQ(CountLines(other, "BEGIN"), 0);
  }
}

TEST(ScriptedBrainTest, StartFailuresAbortWithAClearReason) {
  GameSettings settings = test::FastSettings();
  settings.startMs = 300;
  struct Case {
    std::string command;
    const char* reasonPart;
  };
  const std::vector<Case> cases = {
      {ScriptedCommand("nostart"), "did not answer START 20 within 300 ms"},
      {ScriptedCommand("refuse"), "refused START 20: ERROR no"},
      // It may be gone before START is even written: either way the exit shows.
      {"sh -c 'exit 3'", "(exited with code 3)"},
  };
  for (const Case& c : cases) {
    const GameRecord record = Play(ScriptedCommand("good"), c.command, settings);
    EXPECT_EQ(record.ending, Ending::Aborted) << c.command;
    EXPECT_NE(record.reason.find(c.reasonPart), std::string::npos) << record.reason;
  }
}

}  // namespace
}  // namespace quorvex::match

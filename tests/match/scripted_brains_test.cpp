// Games against tiny scripted brains: each way a brain can answer, or fail
// to, and how the referee and the match runner deal with it.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <sstream>

#include "match_test_support.h"
#include "tools/match/child_process.h"
#include "tools/match/game_runner.h"
#include "tools/match/human_player.h"
#include "tools/match/match_runner.h"

namespace quorvex::match {
namespace {

using test::CountLines;
using test::MakeBrain;
using test::ReadFile;
using test::ScratchDir;
using test::ScriptedCommand;

GameSettings FastSettings() {
  GameSettings settings;
  settings.turnMs = 2000;
  settings.toleranceMs = 200;
  settings.startMs = 5000;
  return settings;
}

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
        Play(ScriptedCommand(c.black), ScriptedCommand(c.white), FastSettings());
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
  GameSettings settings = FastSettings();
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

TEST(ChildProcessTest, UnfinishedLastLineComesBeforeTheEnd) {
  ChildProcess child;
  std::string error;
  ASSERT_TRUE(
      child.Spawn({"/bin/sh", "-c", "exec 0<&-; printf 'MESSAGE a\\r\\n4,5'; exit 7"}, "/", error))
      << error;
  std::string line;
  EXPECT_EQ(child.ReadLine(line, 5000), ChildProcess::ReadStatus::Line);
  EXPECT_EQ(line, "MESSAGE a");
  EXPECT_EQ(child.ReadLine(line, 5000), ChildProcess::ReadStatus::Line);
  EXPECT_EQ(line, "4,5");
  EXPECT_EQ(child.ReadLine(line, 5000), ChildProcess::ReadStatus::Closed);
  // Its input was closed before it wrote: writing fails with EPIPE instead
  // of killing us by SIGPIPE.
  EXPECT_FALSE(child.WriteLine("TURN 1,1"));
  child.Stop(1000);
  EXPECT_EQ(child.exitDescription(), "exited with code 7");
  EXPECT_FALSE(child.Running());
}

TEST(ChildProcessTest, ExecFailureIsReportedWithItsCause) {
  ChildProcess child;
  std::string error;
  EXPECT_FALSE(child.Spawn({"/nonexistent/brain"}, "/", error));
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
  EXPECT_FALSE(child.Spawn({"/bin/sh"}, "/nonexistent-dir", error));
  EXPECT_NE(error.find("in /nonexistent-dir"), std::string::npos) << error;
  EXPECT_FALSE(child.Running());
}

TEST(ScriptedBrainTest, MatchTimeRunsOutAcrossMoves) {
  GameSettings settings = FastSettings();
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
      Play(ScriptedCommand("good"), ScriptedCommand("message"), FastSettings(), &shown);
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
  GameSettings settings = FastSettings();
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
    const GameRecord record = PlayGame(*black, *white, c.opening, FastSettings(), {});
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
  GameSettings settings = FastSettings();
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

// Plays `games` games of the good brain (first) against `second`, each with
// its own log, and returns the report.
MatchReport LoggedMatch(const std::string& firstLog, const std::string& secondCommand, int games,
                        bool reuse, const GameSettings& settings) {
  auto first = MakeBrain(ScriptedCommand("good", "--log " + firstLog), !reuse);
  auto second = MakeBrain(secondCommand, !reuse);
  MatchPlan plan;
  plan.games = games;
  plan.settings = settings;
  std::ostringstream log;
  return RunMatch(*first, *second, plan, log);
}

TEST(MatchRunnerTest, FreshProcessesPerGameOrOneProcessWithStartBetweenGames) {
  for (const bool reuse : {false, true}) {
    ScratchDir dir;
    const MatchReport report =
        LoggedMatch(dir.File("first.log"), ScriptedCommand("good"), 3, reuse, FastSettings());
    ASSERT_EQ(report.games.size(), 3u);
    const std::string text = ReadFile(dir.File("first.log"));
    EXPECT_EQ(CountLines(text, "CWD ", true), reuse ? 1 : 3) << "reuse " << reuse;
    EXPECT_EQ(CountLines(text, "START 20"), 3);
    EXPECT_EQ(CountLines(text, "END"), reuse ? 1 : 3);
    // White wins every game between two good brains, and colours alternate.
    EXPECT_EQ(report.tally.wins, 1);
    EXPECT_EQ(report.tally.losses, 2);
    EXPECT_EQ(ExitCodeOf(report), 0);
  }
}

TEST(MatchRunnerTest, AKilledBrainIsStartedAgainForTheNextGame) {
  ScratchDir dir;
  const std::string hangLog = dir.File("hang.log");
  GameSettings settings = FastSettings();
  settings.turnMs = 150;
  settings.toleranceMs = 50;
  const MatchReport report = LoggedMatch(
      dir.File("first.log"), ScriptedCommand("hang", "--log " + hangLog), 2, true, settings);
  ASSERT_EQ(report.games.size(), 2u);
  EXPECT_EQ(report.tally.wins, 2);
  EXPECT_EQ(report.tally.forfeits, 2);
  EXPECT_EQ(CountLines(ReadFile(hangLog), "CWD ", true), 2);
  EXPECT_EQ(ExitCodeOf(report), 1);
}

TEST(MatchRunnerTest, AKeptBrainThatDiedBetweenGamesIsStartedAgain) {
  ScratchDir dir;
  const std::string shortLog = dir.File("short.log");
  auto first = MakeBrain(ScriptedCommand("short", "--log " + shortLog), false);
  auto second = MakeBrain(ScriptedCommand("good"), false);
  MatchPlan plan;
  plan.games = 2;
  plan.settings = FastSettings();
  // Black's first free point in reading order, a1, completes a1-e1: the
  // short brain's one move wins game 1, then it ends.
  plan.openings = {{{1, 0}, {0, 9}, {2, 0}, {0, 10}, {3, 0}, {0, 11}, {4, 0}, {0, 12}}};
  std::ostringstream log;
  const MatchReport report = RunMatch(*first, *second, plan, log);
  EXPECT_TRUE(report.abortReason.empty()) << report.abortReason;
  ASSERT_EQ(report.games.size(), 2u) << log.str();
  EXPECT_EQ(report.games[0].ending, Ending::Five);
  EXPECT_EQ(report.games[0].board.moves().size(), 9u);
  EXPECT_EQ(CountLines(ReadFile(shortLog), "CWD ", true), 2);
}

TEST(MatchRunnerTest, ColoursAlternateAndOpeningsArePlayedTwice) {
  auto first = MakeBrain(ScriptedCommand("good"));
  auto second = MakeBrain(ScriptedCommand("message"));
  MatchPlan plan;
  plan.games = 4;
  plan.settings = FastSettings();
  plan.openings = {{{3, 3}}, {{4, 4}}};
  ScratchDir dir;
  plan.outDir = dir.path();
  std::ostringstream log;
  const MatchReport report = RunMatch(*first, *second, plan, log);
  ASSERT_EQ(report.games.size(), 4u) << log.str();
  const Point openings[4] = {{3, 3}, {3, 3}, {4, 4}, {4, 4}};
  for (int g = 0; g < 4; ++g) {
    const auto& moves = report.games[static_cast<size_t>(g)].board.moves();
    ASSERT_GE(moves.size(), 2u);
    EXPECT_EQ(moves[0].point, openings[g]) << "game " << g + 1;
    // White's first stone tells who had white: the message brain plays from
    // the far corner, the good brain from 0,0.
    const Point whiteFirst = g % 2 == 0 ? Point{19, 19} : Point{0, 0};
    EXPECT_EQ(moves[1].point, whiteFirst) << "game " << g + 1;
    const std::string stem = dir.File("game-00" + std::to_string(g + 1));
    EXPECT_EQ(ReadFile(stem + ".psq").rfind("Piskvorky 20x20, 11:11, 0\r\n", 0), 0u);
    EXPECT_NE(ReadFile(stem + ".svg").find("</svg>"), std::string::npos);
  }
  EXPECT_EQ(report.tally.games(), 4);
  EXPECT_NE(log.str().find("1: scripted_brain"), std::string::npos);
}

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

// The requests of the page (quorvex-match --serve) without a socket: what
// is refused and why, that a refused request changes nothing, and that a
// stopped match or a closed page leaves no brain behind.

#include "tools/match/serve/serve_api.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <set>
#include <sstream>
#include <thread>

#include "tests/gomocup/gomocup_test_support.h"
#include "tools/gomocup/records/game_record_reader.h"

namespace quorvex::match::serve {
namespace {

using Params = ServeApi::Params;

ServeConfig ConfigFor(const std::vector<std::string>& brains) {
  ServeConfig config;
  for (const std::string& brain : brains) {
    std::string error;
    const auto command = ResolveBrainCommand(brain, error);
    EXPECT_TRUE(command) << error;
    if (command) config.brains.push_back(*command);
  }
  config.defaults.outDir.clear();  // no files
  config.tabGraceMs = 100;
  return config;
}

bool WaitFor(ServeApi& api, const std::function<bool(const LiveView&)>& ready) {
  const int64_t deadline = NowMs() + 10000;
  while (NowMs() < deadline) {
    if (ready(api.hub().View())) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

// The status and the words of a refusal, for EXPECTs.
std::string Says(const ServeApi::Reply& reply) {
  return std::to_string(reply.status) + " " + reply.body;
}

// JSON moves [x,y,c,ms] as [x,y,c].
std::string WithoutTimes(std::string json) {
  for (size_t at = json.find("[["); at != std::string::npos; at = json.find(",[", at + 1)) {
    const size_t third = json.find(',', json.find(',', json.find(',', at + 2) + 1) + 1);
    const size_t close = json.find(']', third);
    if (third == std::string::npos || close == std::string::npos) break;
    json.erase(third, close - third);
  }
  return json;
}

void ExpectNoChildLeft() {
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(ServeApiTest, BadMovesAreRefusedWithTheReasonAndTheGameGoesOn) {
  // The brain takes 300 ms a move, so a second click right after the first
  // is surely out of turn. It plays the first free point: a1, then b1.
  ServeApi api(ConfigFor({test::ScriptedCommand("late", "--delay 300")}), nullptr);
  const std::string tab = *api.hub().OpenTab();
  const std::string viewer = *api.hub().OpenTab();
  const Params play = {
      {"tab", tab}, {"colour", "black"}, {"size", "15"}, {"turnMs", "2000"}, {"brain", "1"}};
  const auto move = [&](const std::string& x, const std::string& y, const std::string& who = "") {
    return api.Move({{"tab", who.empty() ? tab : who}, {"activity", "1"}, {"x", x}, {"y", y}});
  };

  // 1. Requests that cannot start a game.
  EXPECT_NE(Says(move("7", "7")).find("409 {\"error\":\"No game of yours"), std::string::npos);
  struct Case {
    Params params;
    const char* says;
  };
  const std::vector<Case> badPlays = {
      {{{"colour", "black"}, {"size", "15"}, {"turnMs", "2000"}, {"brain", "1"}},
       "400 {\"error\":\"tab is missing"},
      {{{"tab", "0123"}, {"colour", "black"}}, "409 {\"error\":\"This page is no longer connected"},
      {{{"tab", viewer}, {"colour", "black"}}, "409 {\"error\":\"Another tab controls this board"},
      {{{"tab", tab}, {"colour", "green"}}, "400 {\"error\":\"colour must be black or white"},
      {{{"tab", tab}, {"colour", "black"}, {"size", "17"}},
       "400 {\"error\":\"size must be 15 or 20"},
      {{{"tab", tab}, {"colour", "black"}, {"size", "15"}},
       "turnMs must be a whole number from 1 to 3600000, and is missing"},
      {{{"tab", tab}, {"colour", "black"}, {"size", "15"}, {"turnMs", "2000"}, {"brain", "2"}},
       "brain must be a whole number from 1 to 1, not \\\"2\\\""},
  };
  for (const Case& c : badPlays) {
    const std::string says = Says(api.Play(c.params));
    EXPECT_NE(says.find(c.says), std::string::npos) << says;
  }
  EXPECT_EQ(api.hub().View().activity, 0);

  // 2. A game; malformed moves and moves from elsewhere change nothing.
  ASSERT_EQ(Says(api.Play(play)), "200 {\"activity\":1}");
  ASSERT_TRUE(WaitFor(api, [](const LiveView& v) { return v.yourTurn; }));
  const std::vector<std::pair<ServeApi::Reply, const char*>> badMoves = {
      {api.Move({{"tab", tab}, {"activity", "1"}, {"y", "7"}}),
       "400 {\"error\":\"x must be a whole number from 0 to 25, and is missing"},
      {move("7a", "7"), "400 {\"error\":\"x must be a whole number from 0 to 25, not \\\"7a\\\""},
      {move("-1", "7"), "400"},
      {move("7", "15"), "400 {\"error\":\"7,15 is off the board."},
      {api.Move({{"tab", tab}, {"activity", "2"}, {"x", "7"}, {"y", "7"}}),
       "409 {\"error\":\"That game is over"},
      {move("7", "7", viewer), "409 {\"error\":\"Another tab controls"},
  };
  for (const auto& [reply, says] : badMoves) EXPECT_EQ(Says(reply).find(says), 0u) << Says(reply);
  EXPECT_TRUE(api.hub().View().moves.empty());

  // 3. A move, then one out of turn while the brain thinks.
  EXPECT_EQ(Says(move("7", "7")), "200 {\"ok\":true}");
  EXPECT_EQ(Says(move("8", "8")), "409 {\"error\":\"Not your turn: scripted_brain is to move.\"}");
  ASSERT_TRUE(WaitFor(api, [](const LiveView& v) { return v.yourTurn && v.moves.size() == 2; }));

  // 4. Taken points, the person's own and the brain's; then a good move.
  EXPECT_EQ(Says(move("7", "7")), "409 {\"error\":\"h8 is taken: choose an empty point.\"}");
  EXPECT_EQ(Says(move("0", "0")), "409 {\"error\":\"a1 is taken: choose an empty point.\"}");
  EXPECT_EQ(api.hub().View().moves.size(), 2u);
  EXPECT_EQ(Says(move("8", "8")), "200 {\"ok\":true}");
  ASSERT_TRUE(WaitFor(api, [](const LiveView& v) { return v.yourTurn && v.moves.size() == 4; }));

  // 5. Resigning ends it; nothing is taken after.
  EXPECT_EQ(Says(api.Resign({{"tab", tab}, {"activity", "1"}})), "200 {\"ok\":true}");
  ASSERT_TRUE(WaitFor(api, [](const LiveView& v) { return !v.running; }));
  EXPECT_EQ(Says(move("9", "9")).find("409 {\"error\":\"This game is over"), 0u);
  const LiveView view = api.hub().View();
  EXPECT_EQ(view.status, "game 1: white (scripted_brain) wins: black (human) resigned");
  std::set<std::pair<int, int>> points;
  for (const PlayedMove& m : view.moves) points.insert({m.point.x, m.point.y});
  EXPECT_EQ(points, (std::set<std::pair<int, int>>{{7, 7}, {0, 0}, {8, 8}, {1, 0}}));

  // 6. The record of that game replays; a text that is none is refused.
  // Each move carries its time, which varies: compared without it.
  EXPECT_EQ(WithoutTimes(Says(api.Record(api.hub().LastRecord()))),
            "200 {\"size\":15,\"black\":\"human\",\"white\":\"scripted_brain\",\"moves\":"
            "[[7,7,1],[0,0,2],[8,8,1],[1,0,2]],\"five\":[],\"illegal\":\"\"}");
  EXPECT_EQ(Says(api.Record("hello")).find("400 {\"error\":\"This record cannot be read: line 1"),
            0u);
}

TEST(ServeApiTest, AStoppedMatchOrAClosedPageLeavesNoBrainRunning) {
  const std::string slow = test::ScriptedCommand("late", "--delay 100");
  ServeApi api(ConfigFor({slow, slow}), nullptr);
  std::string tab = *api.hub().OpenTab();
  const Params watch = {
      {"tab", tab}, {"games", "3"}, {"size", "20"}, {"turnMs", "2000"}, {"pauseMs", "0"}};
  ASSERT_EQ(Says(api.Watch(watch)), "200 {\"activity\":1}");
  ASSERT_TRUE(WaitFor(api, [](const LiveView& v) { return v.moves.size() >= 2; }));
  EXPECT_EQ(Says(api.Stop({{"tab", tab}})), "200 {\"ok\":true}");
  LiveView view = api.hub().View();
  EXPECT_FALSE(view.running);
  EXPECT_EQ(view.status, "game 1 was stopped and is not scored: Stop was pressed");
  ExpectNoChildLeft();

  // The page closes while the person is to move: after the grace period
  // the game is stopped, not resigned, and the brain is ended.
  ASSERT_EQ(
      Says(api.Play(
          {{"tab", tab}, {"colour", "white"}, {"size", "20"}, {"turnMs", "2000"}, {"brain", "2"}})),
      "200 {\"activity\":2}");
  ASSERT_TRUE(WaitFor(api, [](const LiveView& v) { return v.yourTurn; }));
  api.TabClosed(tab);
  view = api.hub().View();
  EXPECT_FALSE(view.running);
  EXPECT_EQ(view.status, "game 1 was stopped and is not scored: the page was closed");
  ExpectNoChildLeft();
}

// The lines a scripted brain's log holds after its last start ("CWD ...").
std::vector<std::string> LinesOfLastStart(const std::string& log) {
  std::vector<std::string> lines;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("CWD ", 0) == 0) lines.clear();
    lines.push_back(line);
  }
  return lines;
}

TEST(ServeApiTest, ATakeBackRestartsTheBrainOnTheEarlierPositionAndGamesAreSaved) {
  // The brain plays the first free point in reading order: a1, b1, c1...
  test::ScratchDir dir;
  const std::string log = dir.File("brain.log");
  ServeApi api(ConfigFor({test::ScriptedCommand("late", "--delay 100 --log " + log)}), nullptr);
  const std::string tab = *api.hub().OpenTab();
  const auto act = [&](const std::string& x, const std::string& y) {
    return x.empty() ? api.TakeBack({{"tab", tab}, {"activity", "1"}})
                     : api.Move({{"tab", tab}, {"activity", "1"}, {"x", x}, {"y", y}});
  };
  const auto stones = [&](size_t n) {
    return WaitFor(api, [n](const LiveView& v) { return v.yourTurn && v.moves.size() == n; });
  };
  ASSERT_EQ(Says(api.Play({{"tab", tab}, {"colour", "black"}, {"size", "15"}, {"turnMs", "2000"},
                           {"brain", "1"}})),
            "200 {\"activity\":1}");
  ASSERT_TRUE(stones(0));

  // 1. Nothing to take back yet; none while the brain thinks.
  EXPECT_EQ(Says(act("", "")),
            "409 {\"error\":\"There is no move of yours to take back yet.\"}");
  ASSERT_EQ(Says(act("7", "7")), "200 {\"ok\":true}");
  EXPECT_EQ(Says(act("", "")).find("409 {\"error\":\"Take back on your turn"), 0u);
  ASSERT_TRUE(stones(2));
  ASSERT_EQ(Says(act("8", "8")), "200 {\"ok\":true}");
  ASSERT_TRUE(stones(4));

  // 2. h8 a1 i9 b1: i9 and b1 go; the person plays b1 itself, which only a
  //    brain that was given the earlier position takes for free.
  ASSERT_EQ(Says(act("", "")), "200 {\"ok\":true}");
  ASSERT_TRUE(stones(2));
  ASSERT_EQ(Says(act("1", "0")), "200 {\"ok\":true}");
  ASSERT_TRUE(stones(4));
  const std::vector<std::string> restart = LinesOfLastStart(test::ReadFile(log));
  ASSERT_GE(restart.size(), 12u);
  EXPECT_EQ(restart[1], "START 15");
  EXPECT_EQ(std::vector<std::string>(restart.end() - 5, restart.end()),
            (std::vector<std::string>{"BOARD", "7,7,2", "0,0,1", "1,0,2", "DONE"}));
  const std::vector<PlayedMove> moves = api.hub().View().moves;
  EXPECT_EQ(moves[3].point, (Point{2, 0}));

  // 3. The game under way is saved as unfinished, the finished one with its
  //    result; both read back. A game not kept, or another format, is refused.
  const auto game = [&](const std::string& activity, const std::string& format) {
    return api.Game({{"activity", activity}, {"game", "1"}, {"format", format}});
  };
  ServeApi::Reply saved = game("1", "psq");
  EXPECT_EQ(saved.fileName, "play-001-game-001.psq");
  EXPECT_NE(saved.body.find("unfinished, not scored: under way when saved"), std::string::npos);
  ASSERT_EQ(Says(api.Resign({{"tab", tab}, {"activity", "1"}})), "200 {\"ok\":true}");
  ASSERT_TRUE(WaitFor(api, [](const LiveView& v) { return !v.running; }));
  EXPECT_EQ(api.hub().View().verdict, "You resigned");
  saved = game("1", "sgf");
  EXPECT_EQ(saved.fileName, "play-001-game-001.sgf");
  EXPECT_NE(saved.body.find("RE[W+R]"), std::string::npos) << saved.body;
  std::string error;
  const auto read = ParseGameRecord(saved.body, error);
  ASSERT_TRUE(read) << error;
  ASSERT_EQ(read->moves.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(read->moves[i].point, moves[i].point);
  EXPECT_EQ(read->whiteName, "scripted_brain");
  EXPECT_EQ(Says(api.Convert(game("1", "psq").body, "sgf")).rfind("200 (;FF[4]GM[4]", 0), 0u);
  EXPECT_EQ(game("1", "txt").status, 400);
  EXPECT_EQ(game("2", "psq").status, 404);
}

TEST(ServeApiTest, AResignationWhileTheBrainThinksEndsItAtOnceAndIsScoredAsOne) {
  ServeApi api(ConfigFor({test::ScriptedCommand("late", "--delay 5000")}), nullptr);
  const std::string tab = *api.hub().OpenTab();
  // The command line's shortest turn time is the page's too.
  const Params play = {
      {"tab", tab}, {"colour", "black"}, {"size", "15"}, {"turnMs", "10000"}, {"brain", "1"}};
  Params fast = play;
  fast.find("turnMs")->second = "1";
  ASSERT_EQ(Says(api.Play(fast)), "200 {\"activity\":1}");
  ASSERT_EQ(Says(api.Play(play)), "200 {\"activity\":2}");
  ASSERT_TRUE(WaitFor(api, [](const LiveView& v) { return v.yourTurn; }));
  ASSERT_EQ(Says(api.Move({{"tab", tab}, {"activity", "2"}, {"x", "7"}, {"y", "7"}})),
            "200 {\"ok\":true}");
  ASSERT_TRUE(WaitFor(api, [](const LiveView& v) { return !v.yourTurn; }));

  const int64_t resigned = NowMs();
  EXPECT_EQ(Says(api.Resign({{"tab", tab}, {"activity", "2"}})), "200 {\"ok\":true}");
  ASSERT_TRUE(WaitFor(api, [](const LiveView& v) { return !v.running; }));
  EXPECT_LT(NowMs() - resigned, 1000);
  const LiveView view = api.hub().View();
  EXPECT_EQ(view.status, "game 1: white (scripted_brain) wins: black (human) resigned");
  EXPECT_EQ(view.verdict, "You resigned");
  EXPECT_NE(view.table.find("games 1, forfeits 0"), std::string::npos) << view.table;
  EXPECT_NE(view.table.find("not enough games"), std::string::npos) << view.table;
  ExpectNoChildLeft();
}

TEST(ServeApiTest, AGameStartsFromATypedOpeningWithTheSideToMoveChosen) {
  test::ScratchDir dir;
  const std::string log = dir.File("brain.log");
  ServeApi api(ConfigFor({test::ScriptedCommand("good", "--log " + log)}), nullptr);
  const std::string tab = *api.hub().OpenTab();
  const auto play = [&](const std::string& opening) {
    return api.Play({{"tab", tab}, {"colour", "black"}, {"size", "15"}, {"turnMs", "2000"},
                     {"brain", "1"}, {"opening", opening}});
  };
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"h8 h8", "400 {\"error\":\"The opening cannot be played: h8 (7,7) is off the board or "
                "repeated\"}"},
      {"h8\ni9", "400 {\"error\":\"The opening must be one line of moves, like h8 i9 i7.\"}"},
      {"zz9", "400 {\"error\":\"The opening cannot be played: not a list of moves"},
  };
  for (const auto& [opening, says] : bad) EXPECT_EQ(Says(play(opening)).find(says), 0u) << opening;

  // Three stones: white to move, the brain's side when the person is black.
  ASSERT_EQ(Says(play("h8 i9 i7")), "200 {\"activity\":1}");
  ASSERT_TRUE(WaitFor(api, [](const LiveView& v) { return v.yourTurn; }));
  const LiveView view = api.hub().View();
  EXPECT_EQ(view.openingStones, 3);
  ASSERT_EQ(view.moves.size(), 4u);
  EXPECT_EQ(view.moves[2].point, (Point{8, 6}));
  EXPECT_EQ(view.moves[3].point, (Point{0, 0}));
  const std::vector<std::string> lines = LinesOfLastStart(test::ReadFile(log));
  EXPECT_EQ(std::vector<std::string>(lines.end() - 5, lines.end()),
            (std::vector<std::string>{"BOARD", "7,7,2", "8,8,1", "8,6,2", "DONE"}));
}

}  // namespace
}  // namespace quorvex::match::serve

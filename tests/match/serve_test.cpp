// The requests of the page (quorvex-match --serve) without a socket: what
// is refused and why, that a refused request changes nothing, and that a
// stopped match or a closed page leaves no brain behind.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <set>
#include <thread>

#include "match_test_support.h"
#include "tools/match/child_process.h"
#include "tools/match/serve/serve_api.h"

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
       "turnMs must be a whole number from 100 to 3600000, and is missing"},
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
  EXPECT_EQ(Says(api.Record(api.hub().LastRecord())),
            "200 {\"size\":15,\"black\":\"human\",\"white\":\"scripted_brain\",\"moves\":"
            "[[7,7,1],[0,0,2],[8,8,1],[1,0,2]],\"illegal\":\"\"}");
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

TEST(ChildProcessTest, ABrainInheritsNoDescriptorALibraryLeftOpen) {
  // Like the web server's sockets: open without close-on-exec.
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(socket, 0);
  ASSERT_EQ(dup2(socket, 100), 100);
  ChildProcess child;
  std::string error;
  ASSERT_TRUE(child.Spawn({"/bin/sh", "-c", "test -e /proc/$$/fd/100 && echo leaked || echo clean"},
                          "/", error))
      << error;
  std::string line;
  EXPECT_EQ(child.ReadLine(line, 5000), ChildProcess::ReadStatus::Line);
  EXPECT_EQ(line, "clean");
  child.Stop(1000);
  close(100);
  close(socket);
}

}  // namespace
}  // namespace quorvex::match::serve

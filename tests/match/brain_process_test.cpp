// Brain processes under abuse: helpers that would outlive their brain, a
// brain that exits while a helper holds its pipe, a stop while a brain
// thinks, answers nobody asked for, and bytes no view may show raw.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

#include "tests/gomocup/gomocup_test_support.h"
#include "tools/gomocup/referee/printable_text.h"
#include "tools/match/match_runner.h"
#include "tools/match/serve/serve_api.h"

namespace quorvex::match {
namespace {

using test::ReadFile;
using test::ScratchDir;
using test::ScriptedCommand;

// `games` games of `first` (a command) against the good brain, and the log.
std::pair<MatchReport, std::string> Match(const std::string& first, bool reuse, int32_t games,
                                          TextSink sink = {}, const std::string& outDir = "") {
  auto one = test::MakeBrain(first, !reuse, sink);
  auto two = test::MakeBrain(ScriptedCommand("good"), !reuse, sink);
  MatchPlan plan;
  plan.games = games;
  plan.settings.turnMs = 3000;
  plan.outDir = outDir;
  std::ostringstream log;
  MatchReport report = RunMatch(*one, *two, plan, log);
  return {report, log.str()};
}

// A shell brain that starts `sleep 1000` in the background (in its own
// process group, as a non-interactive shell does), notes its pid in "pids"
// and runs `body`. The helper keeps the brain's pipes, not its stderr.
std::string HelperBrain(const ScratchDir& dir, const std::string& name, const std::string& body) {
  const std::string script = "#!/bin/sh\nsleep 1000 2>/dev/null &\necho $! >>" + dir.File("pids");
  test::WriteFile(dir.File(name), script + "\n" + body, true);
  return dir.File(name);
}

bool Alive(pid_t pid) {  // a zombie left to init counts as ended
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  return !line.empty() && line.substr(line.rfind(')') + 2, 1) != "Z";
}

// True when the `expected` helpers noted have ended within two seconds;
// kills those left, so that a failure leaks none.
bool HelpersEnded(const ScratchDir& dir, size_t expected) {
  std::istringstream pids(ReadFile(dir.File("pids")));
  size_t count = 0, ended = 0;
  for (pid_t pid; pids >> pid; ++count) {
    for (const int64_t end = NowMs() + 2000; Alive(pid) && NowMs() < end;) usleep(10000);
    if (!Alive(pid)) ++ended;
    if (Alive(pid)) kill(pid, SIGKILL);
  }
  return count == expected && ended == expected;
}

TEST(BrainProcessTest, EverythingABrainStartedEndsWithIt) {
  // 1. Fresh and kept processes, ended by END. The brain writes each move
  // twice: the second line answers nothing, is dropped, and the match goes
  // on (with --reuse it once answered the next START).
  for (const bool reuse : {false, true}) {
    ScratchDir dir;
    test::ShownText shown;
    const auto [report, log] =
        Match(HelperBrain(dir, "b.sh", "exec " + ScriptedCommand("twice")), reuse, 2, shown.Sink());
    EXPECT_EQ(ExitCodeOf(report), 0) << log;
    EXPECT_EQ(report.games.size(), 2u);
    EXPECT_EQ(shown.lines.empty() ? "" : shown.lines[0],
              "b.sh: dropped, sent when no reply was due: 10,10");
    EXPECT_TRUE(HelpersEnded(dir, reuse ? 1 : 2)) << "reuse " << reuse;
  }
  // 2. A brain that exits while its helper holds the pipe open: the exit
  // and its code are the reason, not the turn limit.
  ScratchDir dir;
  const std::string quitter = R"(while read line; do
  case "$line" in START*) printf 'OK\r\n' ;; BEGIN*) exit 5 ;; esac
done)";
  const auto [report, log] = Match(HelperBrain(dir, "quitter.sh", quitter), false, 1);
  ASSERT_EQ(report.games.size(), 1u) << log;
  EXPECT_EQ(report.games[0].reason, "black (quitter.sh) crashed: exited with code 5");
  EXPECT_TRUE(HelpersEnded(dir, 1));
  // 3. quorvex-book train drives its opponent the same way.
  ScratchDir train;
  const std::string opponent = HelperBrain(train, "o.sh", "exec " + ScriptedCommand("good"));
  const auto run = test::RunProgram(std::string(QUORVEX_BOOK_PATH) + " train " + train.File("x") +
                                    " --opponent " + opponent + " --size 15 --turn-ms 100");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(HelpersEnded(train, 1));
}

TEST(BrainProcessTest, StoppingEndsAThinkingBrainAtOnceAndScoresNothing) {
  ScratchDir dir;
  serve::ServeConfig config;
  std::string error;
  config.brains.push_back(*ResolveBrainCommand(ScriptedCommand("late", "--delay 30000"), error));
  config.defaults.outDir = dir.path();
  serve::ServeApi api(config, nullptr);
  const std::string tab = *api.hub().OpenTab();
  const auto waitFor = [&](const std::function<bool(const serve::LiveView&)>& ready) {
    for (const int64_t end = NowMs() + 10000; !ready(api.hub().View()) && NowMs() < end;) {
      usleep(5000);
    }
    return ready(api.hub().View());
  };
  // 1. A watch match: black's first stone is instant, then white thinks
  // for 30 s of its 60 s turn.
  const serve::ServeApi::Params watch = {
      {"tab", tab}, {"games", "2"}, {"size", "20"}, {"turnMs", "60000"}, {"pauseMs", "0"}};
  ASSERT_EQ(api.Watch(watch).status, 200);
  ASSERT_TRUE(waitFor([](const serve::LiveView& v) { return v.moves.size() == 1; }));
  int64_t before = NowMs();
  EXPECT_EQ(api.Stop({{"tab", tab}}).status, 200);
  EXPECT_LT(NowMs() - before, 5000);
  const serve::LiveView view = api.hub().View();
  EXPECT_EQ(view.status, "game 1 was stopped and is not scored: Stop was pressed");
  EXPECT_NE(view.table.find("games 0, forfeits 0"), std::string::npos) << view.table;
  // Its record is kept, and says after the names that it is unfinished.
  const std::string psq = ReadFile(dir.File("watch-001/game-001.psq"));
  EXPECT_NE(psq.find("scripted_brain\r\nunfinished, not scored: Stop was pressed\r\n"),
            std::string::npos)
      << psq;
  // 2. A person's game, stopped by the server's end while the brain thinks.
  const serve::ServeApi::Params play = {
      {"tab", tab}, {"colour", "black"}, {"size", "15"}, {"turnMs", "60000"}, {"brain", "1"}};
  ASSERT_EQ(api.Play(play).status, 200);
  ASSERT_TRUE(waitFor([](const serve::LiveView& v) { return v.yourTurn; }));
  ASSERT_EQ(api.Move({{"tab", tab}, {"activity", "2"}, {"x", "7"}, {"y", "7"}}).status, 200);
  usleep(100000);
  before = NowMs();
  api.Shutdown();
  EXPECT_LT(NowMs() - before, 5000);
  EXPECT_EQ(api.hub().View().status,
            "game 1 was stopped and is not scored: the server is stopping");
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);  // every brain reaped
}

bool OnlyPrintableAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return (c >= 0x20 && c < 0x7F) || c == '\n' || c == '\r'; });
}

TEST(BrainProcessTest, ABrainsControlBytesReachNoViewRaw) {
  ScratchDir dir;
  // The program's file name is the brain's name, and may hold them too.
  const std::string name = "evil\x1b]0;title\x07";
  ASSERT_EQ(symlink(SCRIPTED_BRAIN_PATH, dir.File(name).c_str()), 0);
  test::ShownText shown;
  const std::string noisy = std::string(1, '\'').append(dir.File(name)).append("' noisy");
  const auto [report, log] = Match(noisy, false, 1, shown.Sink(), dir.path());
  ASSERT_EQ(report.games.size(), 1u);
  EXPECT_EQ(report.games[0].reason,
            "black (evil\\x1b]0;title\\x07) answered \"\\x1b[31m\\x1b[2J\\x1b]0;owned\\x07 nul "
            "\\x00 soh \\x01 bad \\xff\\xfe c1 \\xc2\\x9b del \\x7f\\x01\", which is not a move");
  ASSERT_EQ(shown.lines.size(), 1u);
  const std::string svg = ReadFile(dir.File("game-001.svg"));
  for (const std::string& view : {shown.lines[0], log, ReadFile(dir.File("game-001.psq")), svg}) {
    EXPECT_TRUE(OnlyPrintableAscii(view)) << view;
  }
  EXPECT_NE(svg.find("answered &quot;\\x1b[31m"), std::string::npos);
  // Valid UTF-8 stays; an overlong form and a surrogate do not.
  EXPECT_EQ(PrintableText("h\xc3\xa9 \xe2\x82\xac|\xc0\xaf|\xed\xa0\x80"),
            "h\xc3\xa9 \xe2\x82\xac|\\xc0\\xaf|\\xed\\xa0\\x80");
}

}  // namespace
}  // namespace quorvex::match

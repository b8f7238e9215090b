#pragma once
// One play game (a person at the page against a brain) or one watch match
// (two brains), run on its own thread by the tool's own RunMatch, so the
// games are started, refereed, logged and recorded as on the command line.
// Every stone, game start and game end is published to the hub as it
// happens, and the log lines RunMatch writes reach the hub line by line.
//
// Stopping: Stop(reason) ends the activity at once and never blocks. A
// brain that is thinking, or starting, is interrupted, sent END, given
// ChildProcess::StopGraceMs and killed; the other brain is sent END too; a
// person asked to move is no longer asked. The game under way ends
// unfinished: it is no result, is not counted in the table, and its record
// says so (match_runner.h). No further game starts. Join waits for all
// that, which takes at most about twice StopGraceMs (each brain's grace, if
// it ignores END) beyond writing the records; the brains, and whatever
// they started, have then ended and been reaped.
//
// The person's resignation (Resign) ends the game at once as well, and as
// a resignation, a result: the person answers Resigned when they are to
// move, and otherwise the brain's think is stopped as above, and the game
// is scored as the person's resignation (game_runner.h). The page is told
// "You resigned", and after any other ending "You won", "You lost" or
// "Draw".
//
// Thread-safety: Start, Stop, Resign, Join and human() may be called from
// any thread; Start once, Join at least once before destruction.

#include <memory>
#include <string>
#include <thread>

#include "tools/gomocup/brain_process/brain_command.h"
#include "tools/gomocup/brain_process/stop_signal.h"
#include "tools/match/match_runner.h"
#include "tools/match/serve/event_hub.h"
#include "tools/match/serve/web_human.h"

namespace quorvex::match::serve {

class Activity {
 public:
  // `plan` is used as given but for its observer, which the activity sets;
  // its outDir, when not empty, is where the records go. A play game starts
  // from plan.openings[0] when there is one.
  static std::unique_ptr<Activity> Play(int64_t id, const BrainCommand& brain, Stone humanColour,
                                        MatchPlan plan, EventHub& hub);
  static std::unique_ptr<Activity> Watch(int64_t id, const BrainCommand& first,
                                         const BrainCommand& second, bool reuse, MatchPlan plan,
                                         EventHub& hub);
  ~Activity();
  Activity(const Activity&) = delete;
  Activity& operator=(const Activity&) = delete;

  int64_t id() const { return id_; }
  // The person's player in a play game, null in a watch match.
  WebHuman* human() const { return human_; }
  // The brain's name in a play game (for messages), empty in a watch.
  const std::string& opponentName() const { return opponentName_; }

  void Start();
  void Stop(const std::string& reason);
  // A play game only: the person gives up, now (see above). Over when the
  // game has already ended.
  WebHuman::Offer Resign();
  void Join();

 private:
  Activity(int64_t id, MatchPlan plan, EventHub& hub);
  void Run();
  // Waits `ms`, less when stopped.
  void Pause(int32_t ms);

  const int64_t id_;
  MatchPlan plan_;
  EventHub& hub_;
  std::string kind_;
  StopSignal stop_;  // declared before the players, which watch it
  std::unique_ptr<Player> first_;
  std::unique_ptr<Player> second_;
  WebHuman* human_ = nullptr;
  std::string opponentName_;
  int32_t pauseMs_ = 0;

  std::thread thread_;
};

}  // namespace quorvex::match::serve

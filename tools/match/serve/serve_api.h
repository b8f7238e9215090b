#pragma once
// What the page may ask of the server, apart from the transport: each call
// takes a request's form fields and returns a status and a JSON body, so
// the answers to bad requests are the same whatever carries them.
//
//   Play      tab, colour (black|white), size (15|20), turnMs, brain (1|2),
//             opening (optional: the stones to start from, one line as the
//             openings reader takes it, "h8 i9 i7"; the side to move after
//             them is the person's when `colour` is that side's)
//   Watch     tab, games, size, turnMs, pauseMs
//   Move      tab, activity, x, y   the person's stone, protocol coordinates
//   TakeBack  tab, activity         the person's last stone and the reply
//   Resign    tab, activity         at once, even while the brain thinks
//   Stop      tab
//   Record    the text of a PSQ or SGF record: its size, names, moves, five
//   Game      activity, game, format (psq|sgf): a kept game as a file
//   Convert   a record's text and a format: the record as a file
//
// turnMs takes what the command line takes (MinTurnMs..MaxTurnMs).
// `tab` is the token the tab's event stream gave it; only the tab that
// controls the board may act (event_hub.h), and `activity` names the game
// a move is meant for, so a click on a board that has since been replaced
// is refused instead of landing in the new game.
//
// Status: 200 done; 400 a malformed request (a field missing, not a number
// or out of its range, a point off the board, a record or an opening that
// does not parse); 404 a game that is not kept; 409 a request the state
// refuses (another tab controls, not your turn, a taken point, nothing to
// take back, a game that is over, no brain to play); 503 the server is
// stopping. Every refusal's body is {"error": "..."} in words fit for the
// page.
//
// One activity at a time: Play and Watch stop the current one (it ends at
// once, unfinished and unscored, activity.h) before starting theirs; Stop
// and Shutdown return once its brains are gone, well within a second even
// when one was thinking. When the last tab closes and none opens within
// the grace period, the activity is stopped, so a closed page leaves no
// brain running.
//
// Thread-safety: every member may be called from any thread at once.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gomocup/brain_process/brain_command.h"
#include "tools/match/match_runner.h"
#include "tools/match/serve/activity.h"
#include "tools/match/serve/event_hub.h"

namespace quorvex::match::serve {

struct ServeConfig {
  std::vector<BrainCommand> brains;  // none, one or two
  // Games, settings, pause (delayMs) and outDir as the command line gave
  // them; each activity writes its records in its own folder below outDir.
  MatchPlan defaults;
  std::string openingsPath;  // read again for each watch match, for its size
  bool reuse = false;
  int32_t tabGraceMs = 2000;  // how long a game outlives its last tab
};

class ServeApi {
 public:
  using Params = std::multimap<std::string, std::string>;  // the form fields
  struct Reply {
    int status = 200;
    std::string body;  // JSON, unless a file
    std::string fileName;  // set for a file to save: body is its text
  };

  // Log lines also go to `echo` when it is not null.
  ServeApi(ServeConfig config, std::ostream* echo);
  ~ServeApi();

  EventHub& hub() { return hub_; }

  Reply Play(const Params& params);
  Reply Watch(const Params& params);
  Reply Move(const Params& params);
  Reply TakeBack(const Params& params);
  Reply Resign(const Params& params);
  Reply Stop(const Params& params);
  Reply Record(std::string_view text) const;
  Reply Game(const Params& params) const;
  Reply Convert(std::string_view text, std::string_view format) const;

  // A tab's event stream has ended. When it was the last tab, waits up to
  // the grace period for another and stops the activity if none came.
  void TabClosed(const std::string& tab);

  // Ends every event stream, refuses what follows with 503, and stops and
  // joins the activity. Called again, does nothing.
  void Shutdown();

 private:
  // Empty when `params` names the controlling tab; the refusal otherwise.
  std::optional<Reply> CheckTab(const Params& params) const;
  // The current activity when `params` names it; the refusal otherwise.
  std::shared_ptr<Activity> CurrentFor(const Params& params, Reply& refusal) const;
  // Stops the current activity and starts the one `make` builds for its id.
  Reply Launch(const std::function<std::unique_ptr<Activity>(int64_t id)>& make);
  void StopCurrent(const std::string& reason);  // the caller holds launchMutex_
  // The plan of a new activity: the defaults, its settings, its folder.
  MatchPlan PlanFor(int64_t id, const char* kind, const GameSettings& settings) const;

  const ServeConfig config_;
  EventHub hub_;
  std::mutex launchMutex_;  // serializes starting and stopping activities
  bool closing_ = false;    // guarded by launchMutex_
  int64_t lastId_ = 0;      // guarded by launchMutex_
  mutable std::mutex currentMutex_;
  std::shared_ptr<Activity> current_;  // guarded by currentMutex_
};

}  // namespace quorvex::match::serve

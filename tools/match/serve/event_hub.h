#pragma once
// What every open page is shown, and the open pages themselves.
//
// The hub holds the live view (the board of the game played or watched,
// its players, a status line, the results table), the log lines the match
// writes, and the open tabs. The game thread changes the view with Begin
// and Update and adds lines with Log; each tab's event stream (Server-Sent
// Events) waits in NextEvents for what that tab has not been sent yet. A
// slow tab skips views it missed and gets the newest one, but is sent every
// log line still kept.
//
// Tabs: the first tab open controls the board; the others only show it and
// are told so, and take control in the order they opened when the ones
// before them close. A tab is named by a random token that only its own
// event stream tells it, so another site's page in the same browser cannot
// act for it.
//
// Thread-safety: every member may be called from any thread at once.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "tools/gomocup/referee/game_board.h"
#include "tools/gomocup/referee/game_runner.h"

namespace quorvex::match::serve {

struct LiveView {
  int64_t activity = 0;       // the play game or watch match; 0 before the first
  std::string kind = "none";  // "play", "watch" or "none"
  bool running = false;
  int32_t size = 20;
  std::vector<PlayedMove> moves;
  int32_t openingStones = 0;  // the first moves, placed before the game
  std::vector<Point> five;    // the winning row, once a five ended the game
  std::string black;
  std::string white;
  int32_t game = 0;  // from 1; 0 before the first game starts
  int32_t games = 0;
  std::string human;      // "black" or "white" when a person plays
  bool yourTurn = false;  // the person is asked for a move right now
  std::string verdict;    // for the person, once the game is over: "You won", ...
  std::string status;     // one line: the last move, the ending, ...
  std::string table;      // the results table so far
  // The clocks: when the side to move was asked (WallClockMs; 0 when no
  // one is), and the match time of each side in a game (0: none).
  int64_t turnSince = 0;
  int32_t matchMs = 0;
};

std::string LiveViewJson(const LiveView& view);

// Milliseconds since 1970, the time the page's clocks count from: the
// page corrects it by the server's time it was sent in the hello.
int64_t WallClockMs();

class EventHub {
 public:
  static constexpr size_t MaxTabs = 4;  // each holds a connection and a server thread
  // What a brain that floods MESSAGE lines can make the server keep and
  // send: the last KeptLogLines lines of the activity, each cut after
  // MaxLogLineBytes bytes (at a whole UTF-8 character), with LogCutMark and
  // the number of bytes cut after it.
  static constexpr size_t KeptLogLines = 500;
  static constexpr size_t MaxLogLineBytes = 2048;
  static constexpr const char* LogCutMark = " [cut: ";  // then "N more bytes]"

  enum class Role { Controller, Viewer, Unknown };

  // `configJson` goes to every tab first (what the page may offer). Log
  // lines are also written to `echo` when it is not null.
  EventHub(std::string configJson, std::ostream* echo);

  // A new activity: `view` replaces the old one and the log starts empty.
  void Begin(LiveView view);
  void Update(const std::function<void(LiveView&)>& change);
  LiveView View() const;
  void Log(std::string line);

  // The PSQ text of the last game that ended, empty before the first.
  void SetLastRecord(std::string psq);
  std::string LastRecord() const;

  // The records of the activity's games, for saving: the last KeptRecords
  // that ended (game numbers from 1), and the game under way as it stands.
  static constexpr size_t KeptRecords = 100;
  void KeepRecord(int32_t game, GameRecord record);
  // Game `game` of `activity` when it is the current activity's and is
  // kept; the game under way comes as unfinished ("under way when saved").
  std::optional<GameRecord> RecordOf(int64_t activity, int32_t game) const;

  // A new tab's token; empty when MaxTabs are open or the hub is closed
  // (the page then says so, with the limit).
  std::optional<std::string> OpenTab();
  // True when the closed tab was the last one open.
  bool CloseTab(const std::string& tab);
  Role RoleOf(const std::string& tab) const;
  // Waits at most `ms` for a tab to be open; false if none is, or the hub
  // is closed.
  bool WaitForTab(int32_t ms);

  // What one tab has been sent so far.
  struct Cursor {
    std::string tab;
    bool greeted = false;
    int64_t viewSent = -1;
    int64_t logNext = 0;
    Role roleSent = Role::Unknown;
  };
  // Waits at most `waitMs` for news for `cursor`'s tab and returns it as
  // event-stream text, or a comment line when there is none (the write
  // that tells a closed tab apart). Empty once the hub is closed.
  std::optional<std::string> NextEvents(Cursor& cursor, int32_t waitMs);

  // Ends every event stream and refuses new tabs.
  void Close();
  bool closed() const;

 private:
  Role RoleLocked(const std::string& tab) const;
  bool HasNewsLocked(const Cursor& cursor) const;

  const std::string configJson_;
  std::ostream* const echo_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  LiveView view_;
  std::string viewJson_;
  int64_t viewVersion_ = 0;
  std::deque<std::string> log_;
  int64_t logBegin_ = 0;  // the index of log_.front() among all lines
  std::string lastRecord_;
  std::deque<std::pair<int32_t, GameRecord>> records_;  // of view_.activity
  std::vector<std::string> tabs_;  // in the order they opened
  bool closed_ = false;
};

}  // namespace quorvex::match::serve

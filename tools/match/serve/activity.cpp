#include "tools/match/serve/activity.h"

#include <filesystem>
#include <ostream>
#include <streambuf>

#include "tools/gomocup/brain_process/brain_player.h"
#include "tools/gomocup/records/psq_writer.h"
#include "tools/gomocup/referee/results.h"

namespace quorvex::match::serve {

namespace {

// The log RunMatch writes, cut into lines for the hub.
class LogLines : public std::streambuf {
 public:
  explicit LogLines(EventHub& hub) : hub_(hub) {}
  ~LogLines() override {
    if (!partial_.empty()) hub_.Log(partial_);
  }

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    if (c == '\n') {
      hub_.Log(partial_);
      partial_.clear();
    } else {
      partial_ += static_cast<char>(c);
    }
    return c;
  }
  std::streamsize xsputn(const char* text, std::streamsize n) override {
    for (std::streamsize i = 0; i < n; ++i) overflow(static_cast<unsigned char>(text[i]));
    return n;
  }

 private:
  EventHub& hub_;
  std::string partial_;
};

// What the person is told of the game's end, playing `human` ("black" or
// "white"); empty for a game with no result.
std::string VerdictFor(const GameRecord& record, const std::string& human) {
  switch (record.ending) {
    case Ending::Five:
    case Ending::Forfeit:
    case Ending::Resigned:
      if (ColourName(record.winner) == human) return "You won";
      return record.ending == Ending::Resigned ? "You resigned" : "You lost";
    case Ending::FullBoard:
      return "Draw";
    case Ending::Stopped:
    case Ending::Aborted:
    case Ending::Unknown:
      break;
  }
  return {};
}

TextSink LogSink(EventHub& hub) {
  return [&hub](const std::string& who, const std::string& line) {
    hub.Log("  " + who + ": " + line);
  };
}

}  // namespace

Activity::Activity(int64_t id, MatchPlan plan, EventHub& hub)
    : id_(id), plan_(std::move(plan)), hub_(hub) {
  // The page is the only view: nothing is drawn or paused by RunMatch.
  plan_.watch = false;
  plan_.redraw = false;
  plan_.quiet = false;
  plan_.stop = &stop_;
}

std::unique_ptr<Activity> Activity::Play(int64_t id, const BrainCommand& brain, Stone humanColour,
                                         MatchPlan plan, EventHub& hub) {
  plan.games = 1;
  std::unique_ptr<Activity> activity(new Activity(id, std::move(plan), hub));
  activity->kind_ = "play";
  auto human = std::make_unique<WebHuman>([&hub, id](bool awaiting) {
    hub.Update([&](LiveView& view) {
      if (view.activity != id) return;
      view.yourTurn = awaiting;
      if (awaiting) view.turnSince = WallClockMs();
    });
  });
  activity->human_ = human.get();
  activity->opponentName_ = brain.name;
  std::unique_ptr<Player> opponent =
      std::make_unique<BrainPlayer>(brain, true, LogSink(hub), &activity->stop_);
  const bool humanFirst = humanColour == Stone::Black;
  activity->first_ = humanFirst ? std::move(human) : std::move(opponent);
  activity->second_ = humanFirst ? std::move(opponent) : std::move(human);
  return activity;
}

std::unique_ptr<Activity> Activity::Watch(int64_t id, const BrainCommand& first,
                                          const BrainCommand& second, bool reuse, MatchPlan plan,
                                          EventHub& hub) {
  const int32_t pauseMs = plan.delayMs;
  std::unique_ptr<Activity> activity(new Activity(id, std::move(plan), hub));
  activity->kind_ = "watch";
  activity->pauseMs_ = pauseMs;
  const StopSignal* stop = &activity->stop_;
  activity->first_ = std::make_unique<BrainPlayer>(first, !reuse, LogSink(hub), stop);
  activity->second_ = std::make_unique<BrainPlayer>(second, !reuse, LogSink(hub), stop);
  return activity;
}

Activity::~Activity() {
  Stop("the server is stopping");
  Join();
}

void Activity::Start() { thread_ = std::thread(&Activity::Run, this); }

void Activity::Stop(const std::string& reason) {
  stop_.Set(reason);
  if (human_ != nullptr) human_->Abandon(stop_.reason());
}

WebHuman::Offer Activity::Resign() {
  const WebHuman::Offer offer = human_->OfferResign();
  // A brain thinking meanwhile is stopped; the game asks the person why.
  if (offer == WebHuman::Offer::Taken) stop_.Set("the person resigned");
  return offer;
}

void Activity::Join() {
  if (thread_.joinable()) thread_.join();
}

void Activity::Pause(int32_t ms) { stop_.WaitFor(ms); }

void Activity::Run() {
  // 1. A fresh view and log for this activity.
  LiveView view;
  view.activity = id_;
  view.kind = kind_;
  view.running = true;
  view.size = plan_.settings.boardSize;
  view.games = plan_.games;
  view.matchMs = plan_.settings.matchMs;
  if (human_ != nullptr) view.human = human_ == first_.get() ? "black" : "white";
  view.status = "starting";
  hub_.Begin(view);
  if (!plan_.outDir.empty()) {
    std::error_code failure;
    std::filesystem::create_directories(plan_.outDir, failure);
    if (failure) {
      hub_.Log("warning: cannot create " + plan_.outDir + " (" + failure.message() +
               "); no records are written");
      plan_.outDir.clear();
    }
  }

  // 2. Every game start, stone and end reaches the page.
  plan_.observer.gameStarts = [&](int32_t game, const std::string& black,
                                  const std::string& white) {
    hub_.Update([&](LiveView& v) {
      v.moves.clear();
      v.five.clear();
      v.verdict.clear();
      v.openingStones = 0;
      v.black = black;
      v.white = white;
      v.game = game + 1;
      v.turnSince = WallClockMs();
      v.status = "game " + std::to_string(game + 1) + " starts";
    });
  };
  plan_.observer.move = [&](const GameBoard& board, const PlayedMove& move,
                            const std::string& mover) {
    hub_.Update([&](LiveView& v) {
      v.moves = board.moves();
      if (mover == "opening") v.openingStones = static_cast<int32_t>(v.moves.size());
      v.turnSince = WallClockMs();
      v.status = FormatMoveLine(board, move, mover);
    });
    if (pauseMs_ > 0 && mover != "opening") Pause(pauseMs_);
  };
  plan_.observer.tookBack = [&](const GameBoard& board, const std::vector<PlayedMove>&) {
    hub_.Update([&](LiveView& v) {
      v.moves = board.moves();
      v.turnSince = WallClockMs();
      v.status = "taken back: move " + std::to_string(board.moves().size() + 1) + " and " +
                 std::to_string(board.moves().size() + 2);
    });
  };
  plan_.observer.gameEnds = [&](int32_t game, const GameRecord& record, const Tally& tally) {
    hub_.SetLastRecord(FormatPsq(record));
    hub_.KeepRecord(game + 1, record);
    hub_.Update([&](LiveView& v) {
      v.yourTurn = false;
      v.turnSince = 0;
      if (record.ending == Ending::Five) {
        v.five = record.board.FiveThrough(record.board.moves().back().point);
      }
      if (human_ != nullptr) v.verdict = VerdictFor(record, v.human);
      v.status = "game " + std::to_string(game + 1) + ": " + DescribeEnding(record);
      v.table = FormatResults(tally, first_->name(), second_->name());
    });
  };

  // 3. The match, as the command line plays it.
  MatchReport report;
  {
    LogLines lines(hub_);
    std::ostream log(&lines);
    report = RunMatch(*first_, *second_, plan_, log);
  }
  hub_.Update([&](LiveView& v) {
    v.running = false;
    v.yourTurn = false;
    v.turnSince = 0;
    if (!report.abortReason.empty()) v.status = report.abortReason;
    if (!report.stopReason.empty()) v.status = report.stopReason;
  });
}

}  // namespace quorvex::match::serve

#include "tools/match/serve/serve_api.h"

#include <charconv>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "tools/gomocup/records/game_record_reader.h"
#include "tools/gomocup/records/psq_writer.h"
#include "tools/gomocup/records/sgf_writer.h"
#include "tools/gomocup/referee/coordinates.h"
#include "tools/gomocup/referee/openings.h"
#include "tools/match/options.h"
#include "tools/match/serve/json_text.h"

namespace quorvex::match::serve {

namespace {

using Reply = ServeApi::Reply;
using Params = ServeApi::Params;

constexpr int kOk = 200;
constexpr int kBadRequest = 400;
constexpr int kNotFound = 404;
constexpr int kConflict = 409;
constexpr int kUnavailable = 503;

Reply Refuse(int status, const std::string& message) { return {status, JsonError(message), {}}; }
Reply Ok(std::string json) { return {kOk, std::move(json), {}}; }

const std::string* Field(const Params& params, const std::string& name) {
  const auto at = params.find(name);
  return at == params.end() ? nullptr : &at->second;
}

// A whole number from `low` to `high` in field `name`; empty, with the
// refusal in `reply`, when it is missing or is not one.
std::optional<int64_t> Number(const Params& params, const std::string& name, int64_t low,
                              int64_t high, Reply& reply) {
  const std::string* text = Field(params, name);
  int64_t value = 0;
  if (text != nullptr) {
    const char* end = text->data() + text->size();
    const auto [ptr, ec] = std::from_chars(text->data(), end, value);
    if (ec == std::errc() && ptr == end && !text->empty() && value >= low && value <= high) {
      return value;
    }
  }
  reply =
      Refuse(kBadRequest, name + " must be a whole number from " + std::to_string(low) + " to " +
                              std::to_string(high) +
                              (text == nullptr ? ", and is missing" : ", not \"" + *text + "\""));
  return std::nullopt;
}

std::optional<int32_t> BoardSize(const Params& params, Reply& reply) {
  const auto size = Number(params, "size", 15, 20, reply);
  if (size && *size != 15 && *size != 20) {
    reply = Refuse(kBadRequest, "size must be 15 or 20");
    return std::nullopt;
  }
  if (!size) return std::nullopt;
  return static_cast<int32_t>(*size);
}

// A record read back as the writers take it: its legal moves on a board,
// and its ending when the moves show it (a five or a full board).
GameRecord ReadBack(const RecordedGame& game) {
  GameRecord record{GameBoard(game.size), Ending::Unknown, Stone::Empty, {}, game.blackName,
                    game.whiteName};
  for (const PlayedMove& move : game.moves) record.board.Place(move);
  if (game.endsInFive) {
    record.ending = Ending::Five;
    record.winner = game.moves.back().colour;
  } else if (game.illegal.empty() && record.board.IsFull()) {
    record.ending = Ending::FullBoard;
  }
  return record;
}

std::string RecordJson(const RecordedGame& game) {
  const GameRecord record = ReadBack(game);
  const std::vector<Point> five = record.ending == Ending::Five
                                      ? record.board.FiveThrough(game.moves.back().point)
                                      : std::vector<Point>();
  return JsonText(Json{{"size", game.size},
                       {"black", game.blackName},
                       {"white", game.whiteName},
                       {"moves", game.moves},
                       {"five", five},
                       {"illegal", game.illegal}});
}

// `record` as a file of `format` ("psq" or "sgf") named `stem`.format;
// a refusal for another format.
Reply FileOf(const GameRecord& record, std::string_view format, const std::string& stem) {
  if (format == "psq") return {kOk, FormatPsq(record), stem + ".psq"};
  if (format == "sgf") return {kOk, FormatSgf(record), stem + ".sgf"};
  return Refuse(kBadRequest, "format must be psq or sgf");
}

std::string ConfigJson(const ServeConfig& config) {
  Json brains = Json::array();
  for (const BrainCommand& brain : config.brains) brains.push_back(brain.name);
  return JsonText(Json{{"brains", brains},
                       {"size", config.defaults.settings.boardSize},
                       {"turnMs", config.defaults.settings.turnMs},
                       {"games", config.defaults.games},
                       {"pauseMs", config.defaults.delayMs}});
}

}  // namespace

ServeApi::ServeApi(ServeConfig config, std::ostream* echo)
    : config_(std::move(config)), hub_(ConfigJson(config_), echo) {}

ServeApi::~ServeApi() { Shutdown(); }

std::optional<Reply> ServeApi::CheckTab(const Params& params) const {
  const std::string* tab = Field(params, "tab");
  if (tab == nullptr) return Refuse(kBadRequest, "tab is missing");
  switch (hub_.RoleOf(*tab)) {
    case EventHub::Role::Controller:
      return std::nullopt;
    case EventHub::Role::Viewer:
      return Refuse(kConflict,
                    "Another tab controls this board; this one only shows it. Close the other "
                    "tab to play here.");
    case EventHub::Role::Unknown:
      break;
  }
  return Refuse(kConflict, "This page is no longer connected to the server: reload it.");
}

std::shared_ptr<Activity> ServeApi::CurrentFor(const Params& params, Reply& refusal) const {
  if (auto bad = CheckTab(params)) {
    refusal = *bad;
    return nullptr;
  }
  const auto id = Number(params, "activity", 1, INT64_MAX, refusal);
  if (!id) return nullptr;
  std::shared_ptr<Activity> current;
  {
    std::lock_guard lock(currentMutex_);
    current = current_;
  }
  if (current == nullptr || current->human() == nullptr) {
    refusal = Refuse(kConflict, "No game of yours is being played: press New game.");
    return nullptr;
  }
  if (current->id() != *id) {
    refusal = Refuse(kConflict, "That game is over: a new one has started.");
    return nullptr;
  }
  return current;
}

MatchPlan ServeApi::PlanFor(int64_t id, const char* kind, const GameSettings& settings) const {
  MatchPlan plan = config_.defaults;
  plan.settings = settings;
  if (!plan.outDir.empty()) {
    char folder[48];
    std::snprintf(folder, sizeof folder, "/%s-%03lld", kind, static_cast<long long>(id));
    plan.outDir += folder;
  }
  return plan;
}

Reply ServeApi::Launch(const std::function<std::unique_ptr<Activity>(int64_t)>& make) {
  std::lock_guard lock(launchMutex_);
  if (closing_) return Refuse(kUnavailable, "The server is stopping.");
  StopCurrent("a new game was started");
  const int64_t id = ++lastId_;
  std::shared_ptr<Activity> activity = make(id);
  activity->Start();
  {
    std::lock_guard current(currentMutex_);
    current_ = activity;
  }
  return Ok(JsonText(Json{{"activity", id}}));
}

void ServeApi::StopCurrent(const std::string& reason) {
  std::shared_ptr<Activity> old;
  {
    std::lock_guard lock(currentMutex_);
    old.swap(current_);
  }
  if (old == nullptr) return;
  old->Stop(reason);
  old->Join();
}

Reply ServeApi::Play(const Params& params) {
  if (auto bad = CheckTab(params)) return *bad;
  if (config_.brains.empty()) {
    return Refuse(kConflict, "No brain was given on the command line: there is no one to play.");
  }
  Reply refusal;
  const std::string* colour = Field(params, "colour");
  if (colour == nullptr || (*colour != "black" && *colour != "white")) {
    return Refuse(kBadRequest, "colour must be black or white");
  }
  const auto size = BoardSize(params, refusal);
  if (!size) return refusal;
  const auto turnMs = Number(params, "turnMs", MinTurnMs, MaxTurnMs, refusal);
  if (!turnMs) return refusal;
  const auto brain =
      Number(params, "brain", 1, static_cast<int64_t>(config_.brains.size()), refusal);
  if (!brain) return refusal;
  std::vector<Opening> opening;
  const std::string* openingText = Field(params, "opening");
  if (openingText != nullptr && openingText->find_first_not_of(" \t") != std::string::npos) {
    if (openingText->find_first_of("\r\n") != std::string::npos) {
      return Refuse(kBadRequest, "The opening must be one line of moves, like h8 i9 i7.");
    }
    std::string error;
    const auto parsed = ParseOpenings(*openingText, *size, error);
    if (!parsed) {
      const std::string where = "openings line 1: ";
      if (error.starts_with(where)) error.erase(0, where.size());
      return Refuse(kBadRequest, "The opening cannot be played: " + error);
    }
    opening = *parsed;
  }

  GameSettings settings = config_.defaults.settings;
  settings.boardSize = *size;
  settings.turnMs = static_cast<int32_t>(*turnMs);
  const BrainCommand& opponent = config_.brains[static_cast<size_t>(*brain - 1)];
  const Stone humanColour = *colour == "black" ? Stone::Black : Stone::White;
  return Launch([&](int64_t id) {
    MatchPlan plan = PlanFor(id, "play", settings);
    plan.openings = opening;  // the command line's are for watching
    return Activity::Play(id, opponent, humanColour, std::move(plan), hub_);
  });
}

Reply ServeApi::Watch(const Params& params) {
  if (auto bad = CheckTab(params)) return *bad;
  if (config_.brains.empty()) {
    return Refuse(kConflict, "No brain was given on the command line: there is nothing to watch.");
  }
  Reply refusal;
  const auto games = Number(params, "games", 1, 1000, refusal);
  if (!games) return refusal;
  const auto size = BoardSize(params, refusal);
  if (!size) return refusal;
  const auto turnMs = Number(params, "turnMs", MinTurnMs, MaxTurnMs, refusal);
  if (!turnMs) return refusal;
  const auto pauseMs = Number(params, "pauseMs", 0, 60000, refusal);
  if (!pauseMs) return refusal;

  std::vector<Opening> openings;
  if (!config_.openingsPath.empty()) {
    std::string error;
    const auto loaded = LoadOpenings(config_.openingsPath, *size, error);
    if (!loaded) return Refuse(kConflict, error);
    openings = *loaded;
  }
  GameSettings settings = config_.defaults.settings;
  settings.boardSize = *size;
  settings.turnMs = static_cast<int32_t>(*turnMs);
  // One brain given: it plays itself.
  const BrainCommand& first = config_.brains.front();
  const BrainCommand& second = config_.brains.back();
  return Launch([&](int64_t id) {
    MatchPlan plan = PlanFor(id, "watch", settings);
    plan.games = static_cast<int32_t>(*games);
    plan.delayMs = static_cast<int32_t>(*pauseMs);
    plan.openings = openings;
    return Activity::Watch(id, first, second, config_.reuse, std::move(plan), hub_);
  });
}

Reply ServeApi::Move(const Params& params) {
  Reply refusal;
  const std::shared_ptr<Activity> current = CurrentFor(params, refusal);
  if (current == nullptr) return refusal;
  const auto x = Number(params, "x", 0, 25, refusal);
  if (!x) return refusal;
  const auto y = Number(params, "y", 0, 25, refusal);
  if (!y) return refusal;
  const Point point{static_cast<int32_t>(*x), static_cast<int32_t>(*y)};
  switch (current->human()->OfferMove(point)) {
    case WebHuman::Offer::Taken:
      return Ok(JsonText(Json{{"ok", true}}));
    case WebHuman::Offer::NotYourTurn:
      return Refuse(kConflict, "Not your turn: " + current->opponentName() + " is to move.");
    case WebHuman::Offer::OffBoard:
      return Refuse(kBadRequest, FormatProtocolPoint(point) + " is off the board.");
    case WebHuman::Offer::Occupied:
      return Refuse(kConflict, FormatNotation(point) + " is taken: choose an empty point.");
    case WebHuman::Offer::Over:
    case WebHuman::Offer::NothingToTakeBack:
      break;
  }
  return Refuse(kConflict, "This game is over: press New game.");
}

Reply ServeApi::TakeBack(const Params& params) {
  Reply refusal;
  const std::shared_ptr<Activity> current = CurrentFor(params, refusal);
  if (current == nullptr) return refusal;
  switch (current->human()->OfferTakeBack()) {
    case WebHuman::Offer::Taken:
      return Ok(JsonText(Json{{"ok", true}}));
    case WebHuman::Offer::NotYourTurn:
      return Refuse(kConflict, "Take back on your turn: " + current->opponentName() +
                                   " is to move.");
    case WebHuman::Offer::NothingToTakeBack:
      return Refuse(kConflict, "There is no move of yours to take back yet.");
    case WebHuman::Offer::OffBoard:
    case WebHuman::Offer::Occupied:
    case WebHuman::Offer::Over:
      break;
  }
  return Refuse(kConflict, "This game is over: press New game.");
}

Reply ServeApi::Resign(const Params& params) {
  Reply refusal;
  const std::shared_ptr<Activity> current = CurrentFor(params, refusal);
  if (current == nullptr) return refusal;
  if (current->Resign() == WebHuman::Offer::Over) {
    return Refuse(kConflict, "This game is over: press New game.");
  }
  return Ok(JsonText(Json{{"ok", true}}));
}

Reply ServeApi::Stop(const Params& params) {
  if (auto bad = CheckTab(params)) return *bad;
  std::lock_guard lock(launchMutex_);
  StopCurrent("Stop was pressed");
  return Ok(JsonText(Json{{"ok", true}}));
}

Reply ServeApi::Record(std::string_view text) const {
  std::string error;
  const auto game = ParseGameRecord(text, error);
  if (!game) return Refuse(kBadRequest, "This record cannot be read: " + error);
  return Ok(RecordJson(*game));
}

Reply ServeApi::Game(const Params& params) const {
  Reply refusal;
  const auto activity = Number(params, "activity", 1, INT64_MAX, refusal);
  if (!activity) return refusal;
  const auto game = Number(params, "game", 1, INT32_MAX, refusal);
  if (!game) return refusal;
  const std::string* format = Field(params, "format");
  const auto record = hub_.RecordOf(*activity, static_cast<int32_t>(*game));
  if (!record) {
    return Refuse(kNotFound, "That game is no longer kept: the page keeps the games of the "
                             "current game or match, the last " +
                                 std::to_string(EventHub::KeptRecords) + " of them.");
  }
  char stem[64];
  std::snprintf(stem, sizeof stem, "%s-%03lld-game-%03lld", hub_.View().kind.c_str(),
                static_cast<long long>(*activity), static_cast<long long>(*game));
  return FileOf(*record, format == nullptr ? "" : *format, stem);
}

Reply ServeApi::Convert(std::string_view text, std::string_view format) const {
  std::string error;
  const auto game = ParseGameRecord(text, error);
  if (!game) return Refuse(kBadRequest, "This record cannot be read: " + error);
  return FileOf(ReadBack(*game), format, "replay");
}

void ServeApi::TabClosed(const std::string& tab) {
  if (!hub_.CloseTab(tab) || hub_.WaitForTab(config_.tabGraceMs)) return;
  std::lock_guard lock(launchMutex_);
  if (!hub_.WaitForTab(0)) StopCurrent("the page was closed");
}

void ServeApi::Shutdown() {
  hub_.Close();
  std::lock_guard lock(launchMutex_);
  closing_ = true;
  StopCurrent("the server is stopping");
}

}  // namespace quorvex::match::serve

#include "tools/match/serve/event_hub.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

#include <nlohmann/json.hpp>

#include "tools/match/serve/json_text.h"

namespace quorvex::match::serve {

namespace {

std::string NewToken() {
  static std::mutex mutex;
  static std::random_device device;
  std::lock_guard lock(mutex);
  char text[24];
  std::snprintf(text, sizeof text, "%08x%08x", device(), device());
  return text;
}

// `line` cut to the bound, at the start of a UTF-8 character.
void CutLine(std::string& line) {
  if (line.size() <= EventHub::MaxLogLineBytes) return;
  size_t keep = EventHub::MaxLogLineBytes;
  for (int back = 0; back < 3 && (static_cast<unsigned char>(line[keep]) & 0xC0) == 0x80; ++back) {
    --keep;
  }
  // A new string: one cut in place would keep the whole line's capacity.
  line = line.substr(0, keep) + EventHub::LogCutMark + std::to_string(line.size() - keep) +
         " more bytes]";
}

std::string Event(const char* name, const std::string& json) {
  return std::string("event: ") + name + "\ndata: " + json + "\n\n";
}

}  // namespace

std::string LiveViewJson(const LiveView& view) {
  return JsonText(Json{
      {"activity", view.activity},
      {"kind", view.kind},
      {"running", view.running},
      {"size", view.size},
      {"moves", view.moves},
      {"openingStones", view.openingStones},
      {"five", view.five},
      {"black", view.black},
      {"white", view.white},
      {"game", view.game},
      {"games", view.games},
      {"human", view.human},
      {"yourTurn", view.yourTurn},
      {"verdict", view.verdict},
      {"status", view.status},
      {"table", view.table},
      {"turnSince", view.turnSince},
      {"matchMs", view.matchMs},
  });
}

int64_t WallClockMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

EventHub::EventHub(std::string configJson, std::ostream* echo)
    : configJson_(std::move(configJson)), echo_(echo), viewJson_(LiveViewJson(view_)) {}

void EventHub::Begin(LiveView view) {
  std::lock_guard lock(mutex_);
  view_ = std::move(view);
  viewJson_ = LiveViewJson(view_);
  ++viewVersion_;
  logBegin_ += static_cast<int64_t>(log_.size());
  log_.clear();
  records_.clear();
  changed_.notify_all();
}

void EventHub::Update(const std::function<void(LiveView&)>& change) {
  std::lock_guard lock(mutex_);
  change(view_);
  viewJson_ = LiveViewJson(view_);
  ++viewVersion_;
  changed_.notify_all();
}

LiveView EventHub::View() const {
  std::lock_guard lock(mutex_);
  return view_;
}

void EventHub::Log(std::string line) {
  CutLine(line);
  std::lock_guard lock(mutex_);
  if (echo_ != nullptr) *echo_ << line << "\n" << std::flush;
  log_.push_back(std::move(line));
  if (log_.size() > KeptLogLines) {
    log_.pop_front();
    ++logBegin_;
  }
  changed_.notify_all();
}

void EventHub::SetLastRecord(std::string psq) {
  std::lock_guard lock(mutex_);
  lastRecord_ = std::move(psq);
}

std::string EventHub::LastRecord() const {
  std::lock_guard lock(mutex_);
  return lastRecord_;
}

void EventHub::KeepRecord(int32_t game, GameRecord record) {
  std::lock_guard lock(mutex_);
  records_.emplace_back(game, std::move(record));
  if (records_.size() > KeptRecords) records_.pop_front();
}

std::optional<GameRecord> EventHub::RecordOf(int64_t activity, int32_t game) const {
  std::lock_guard lock(mutex_);
  if (activity != view_.activity) return std::nullopt;
  for (const auto& [number, record] : records_) {
    if (number == game) return record;
  }
  if (game != view_.game || !view_.running) return std::nullopt;
  GameRecord record{GameBoard(view_.size), Ending::Stopped, Stone::Empty, "under way when saved",
                    view_.black, view_.white};
  for (const PlayedMove& move : view_.moves) record.board.Place(move);
  return record;
}

std::optional<std::string> EventHub::OpenTab() {
  std::lock_guard lock(mutex_);
  if (closed_ || tabs_.size() >= MaxTabs) return std::nullopt;
  tabs_.push_back(NewToken());
  changed_.notify_all();
  return tabs_.back();
}

bool EventHub::CloseTab(const std::string& tab) {
  std::lock_guard lock(mutex_);
  const auto at = std::find(tabs_.begin(), tabs_.end(), tab);
  if (at == tabs_.end()) return false;
  tabs_.erase(at);
  changed_.notify_all();  // the next tab may control now
  return tabs_.empty();
}

EventHub::Role EventHub::RoleOf(const std::string& tab) const {
  std::lock_guard lock(mutex_);
  return RoleLocked(tab);
}

EventHub::Role EventHub::RoleLocked(const std::string& tab) const {
  const auto at = std::find(tabs_.begin(), tabs_.end(), tab);
  if (at == tabs_.end()) return Role::Unknown;
  return at == tabs_.begin() ? Role::Controller : Role::Viewer;
}

bool EventHub::WaitForTab(int32_t ms) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return closed_ || !tabs_.empty(); });
  return !closed_ && !tabs_.empty();
}

bool EventHub::HasNewsLocked(const Cursor& cursor) const {
  return !cursor.greeted || cursor.viewSent != viewVersion_ ||
         cursor.logNext < logBegin_ + static_cast<int64_t>(log_.size()) ||
         cursor.roleSent != RoleLocked(cursor.tab);
}

std::optional<std::string> EventHub::NextEvents(Cursor& cursor, int32_t waitMs) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(waitMs),
                    [&] { return closed_ || HasNewsLocked(cursor); });
  if (closed_) return std::nullopt;
  std::string out;
  if (!cursor.greeted) {
    // The config is kept as text, so that the hub's header needs no JSON
    // library; a hello is sent once a tab.
    out += Event("hello", JsonText(Json{{"tab", cursor.tab},
                                        {"config", Json::parse(configJson_)},
                                        {"now", WallClockMs()}}));
    cursor.greeted = true;
  }
  const Role role = RoleLocked(cursor.tab);
  if (role != cursor.roleSent) {
    out += Event("role", JsonText(Json{{"controller", role == Role::Controller}}));
    cursor.roleSent = role;
  }
  if (cursor.viewSent != viewVersion_) {
    out += Event("state", viewJson_);
    cursor.viewSent = viewVersion_;
  }
  const int64_t logEnd = logBegin_ + static_cast<int64_t>(log_.size());
  if (cursor.logNext < logEnd) {
    Json lines = Json::array();
    for (int64_t i = std::max(cursor.logNext, logBegin_); i < logEnd; ++i) {
      lines.push_back(log_[static_cast<size_t>(i - logBegin_)]);
    }
    out += Event("log", JsonText(lines));
    cursor.logNext = logEnd;
  }
  return out.empty() ? ":\n\n" : out;
}

void EventHub::Close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
  changed_.notify_all();
}

bool EventHub::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

}  // namespace quorvex::match::serve

#include "tools/book/engine_player.h"

#include <utility>

#include "tools/gomocup/brain_process/monotonic_clock.h"
#include "tools/gomocup/brain_process/protocol_lines.h"

namespace quorvex::book {

EnginePlayer::EnginePlayer(Engine& engine, std::string name, const match::StopSignal* stop)
    : name_(std::move(name)), stop_(stop), loop_(engine, noInput_, replies_, [](int32_t) {}) {}

std::string EnginePlayer::Send(const std::string& line) {
  if (ended_) return {};
  lines_.push_back(line);
  replies_.str("");
  ended_ = !loop_.HandleLine(line);
  std::string reply = replies_.str();
  if (const std::size_t end = reply.find("\r\n"); end != std::string::npos) reply.resize(end);
  return reply;
}

std::string EnginePlayer::StartGame(const match::GameSettings& settings) {
  if (stop_ != nullptr && stop_->IsSet()) return "stopped: " + stop_->reason();
  const std::string start = match::StartLine(settings);
  const std::string reply = Send(start);
  if (reply != "OK") return name_ + " refused " + start + ": " + reply;
  for (const std::string& info : match::InfoLines(settings)) Send(info);
  return {};
}

match::MoveAnswer EnginePlayer::RequestMove(const match::MoveRequest& request) {
  match::MoveAnswer answer;
  if (stop_ != nullptr && stop_->IsSet())
    return {match::MoveAnswer::Kind::Stopped, stop_->reason(), 0};
  const int64_t asked = match::NowMs();
  for (const std::string& line : match::RequestLines(request)) {
    std::string reply = Send(line);
    if (!reply.empty()) answer.text = std::move(reply);
  }
  answer.elapsedMs = static_cast<int32_t>(match::NowMs() - asked);
  if (answer.text.empty()) {
    answer.kind = match::MoveAnswer::Kind::Crashed;
    answer.text = "gave no answer";
  }
  return answer;
}

void EnginePlayer::EndGame(const match::GameBoard&) {}

void EnginePlayer::Finish() { Send("END"); }

}  // namespace quorvex::book

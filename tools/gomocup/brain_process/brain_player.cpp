#include "tools/gomocup/brain_process/brain_player.h"

#include <utility>

#include "tools/gomocup/brain_process/protocol_lines.h"
#include "tools/gomocup/referee/printable_text.h"

namespace quorvex::match {

namespace {

bool StartsWith(const std::string& line, std::string_view word) {
  return line.compare(0, word.size(), word) == 0;
}

bool IsText(const std::string& line) {
  return StartsWith(line, "MESSAGE") || StartsWith(line, "DEBUG");
}

}  // namespace

BrainPlayer::BrainPlayer(BrainCommand command, bool freshPerGame, TextSink sink,
                         const StopSignal* stop)
    : command_(std::move(command)),
      freshPerGame_(freshPerGame),
      sink_(std::move(sink)),
      stop_(stop),
      process_(stop) {
  command_.name = PrintableText(command_.name);
}

BrainPlayer::~BrainPlayer() { Shutdown(); }

std::string BrainPlayer::StartGame(const GameSettings& settings) {
  settings_ = settings;
  rewound_ = false;
  if (Stopping()) return "stopped: " + stop_->reason();
  // 1. Start a process unless one is kept from the last game.
  const bool kept = process_.Running();
  std::string error;
  if (!kept && !process_.Spawn(command_.argv, command_.directory, error)) return error;
  // 2. START and the INFO lines.
  bool ended = false;
  error = Handshake(settings, ended);
  // 3. A kept process may have died since its last game: one fresh start.
  if (!error.empty() && kept && ended && !Stopping()) {
    if (!process_.Spawn(command_.argv, command_.directory, error)) return error;
    error = Handshake(settings, ended);
  }
  return error;
}

std::string BrainPlayer::Handshake(const GameSettings& settings, bool& ended) {
  const std::string start = StartLine(settings);
  std::string line;
  ended = true;
  DropUnasked();
  if (!process_.WriteLine(start)) {
    process_.Stop(0);
    return name() + " stopped reading before " + start + " (" + process_.exitDescription() + ")";
  }
  switch (ReadAnswer(line, settings.startMs)) {
    case ChildProcess::ReadStatus::Line:
      break;
    case ChildProcess::ReadStatus::Timeout:
      ended = false;
      process_.Stop(0);
      return name() + " did not answer " + start + " within " + std::to_string(settings.startMs) +
             " ms (it hangs); killed";
    case ChildProcess::ReadStatus::Closed:
      process_.Stop(EndGraceMs);
      return name() + " ended before answering " + start + " (" + process_.exitDescription() + ")";
    case ChildProcess::ReadStatus::Stopped:
      ended = false;
      Shutdown();
      return "stopped: " + stop_->reason();
  }
  ended = false;
  if (line != "OK") {
    process_.Stop(EndGraceMs);
    return name() + " refused " + start + ": " + PrintableText(line);
  }
  for (const std::string& info : InfoLines(settings)) {
    if (!process_.WriteLine(info)) {
      process_.Stop(0);
      return name() + " stopped reading its INFO lines (" + process_.exitDescription() + ")";
    }
  }
  return {};
}

void BrainPlayer::DropUnasked() {
  for (const std::string& line : process_.TakeUnread()) {
    Show(IsText(line) ? line : "dropped, sent when no reply was due: " + line);
  }
}

bool BrainPlayer::SendRequest(const MoveRequest& request) {
  for (const std::string& line : RequestLines(request)) {
    if (!process_.WriteLine(line)) return false;
  }
  return true;
}

ChildProcess::ReadStatus BrainPlayer::ReadAnswer(std::string& line, int32_t timeoutMs) {
  const int64_t deadline = NowMs() + timeoutMs;
  for (;;) {
    const int64_t left = deadline - NowMs();
    const auto status = process_.ReadLine(line, static_cast<int32_t>(left < 0 ? 0 : left));
    if (status != ChildProcess::ReadStatus::Line) return status;
    if (IsText(line)) {
      Show(line);
      continue;
    }
    return status;
  }
}

void BrainPlayer::Show(const std::string& line) {
  if (sink_) sink_(name(), PrintableText(line));
}

MoveAnswer BrainPlayer::RequestMove(const MoveRequest& request) {
  MoveAnswer answer;
  const auto stopped = [&] {
    Shutdown();
    return MoveAnswer{MoveAnswer::Kind::Stopped, stop_->reason(), 0};
  };
  if (Stopping()) return stopped();
  if (rewound_) {
    const std::string error = StartGame(settings_);
    if (!error.empty()) {
      if (Stopping()) return stopped();
      return {MoveAnswer::Kind::Crashed, "could not start again after a take-back: " + error, 0};
    }
  }
  DropUnasked();
  if (!process_.Running() || !SendRequest(request)) {
    if (Stopping()) return stopped();
    process_.Stop(0);
    answer.kind = MoveAnswer::Kind::Crashed;
    answer.text = "stopped reading its input (" + process_.exitDescription() + ")";
    return answer;
  }
  const int64_t asked = NowMs();
  const auto status = ReadAnswer(answer.text, request.waitMs);
  answer.elapsedMs = static_cast<int32_t>(NowMs() - asked);
  switch (status) {
    case ChildProcess::ReadStatus::Line:
      answer.kind = MoveAnswer::Kind::Reply;
      break;
    case ChildProcess::ReadStatus::Timeout:
      answer.kind = MoveAnswer::Kind::TimedOut;
      answer.text.clear();
      process_.Stop(0);
      break;
    case ChildProcess::ReadStatus::Closed:
      if (Stopping()) return stopped();
      answer.kind = MoveAnswer::Kind::Crashed;
      process_.Stop(EndGraceMs);
      answer.text = process_.exitDescription();
      break;
    case ChildProcess::ReadStatus::Stopped:
      return stopped();
  }
  return answer;
}

void BrainPlayer::EndGame(const GameBoard&) {
  if (freshPerGame_) Shutdown();
}

void BrainPlayer::Finish() { Shutdown(); }

void BrainPlayer::Rewind() {
  Shutdown();
  rewound_ = true;
}

void BrainPlayer::Shutdown() {
  if (!process_.Running()) return;
  process_.WriteLine("END", 200);
  process_.Stop(EndGraceMs);
}

}  // namespace quorvex::match

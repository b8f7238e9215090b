#include "tests/gomocup/gomocup_test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quorvex::match::test {

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvex-match-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

GameBoard BlackAt(std::initializer_list<Point> points, int32_t size) {
  GameBoard board(size);
  for (const Point p : points) board.Place({p, Stone::Black, 0});
  return board;
}

std::string ScriptedCommand(const std::string& mode, const std::string& extra) {
  std::string command = std::string(SCRIPTED_BRAIN_PATH) + " " + mode;
  if (!extra.empty()) command += " " + extra;
  return command;
}

TextSink ShownText::Sink() {
  return [this](const std::string& who, const std::string& line) {
    lines.push_back(who + ": " + line);
  };
}

GameSettings FastSettings() {
  GameSettings settings;
  settings.turnMs = 2000;
  settings.toleranceMs = 200;
  settings.startMs = 5000;
  return settings;
}

std::unique_ptr<BrainPlayer> MakeBrain(const std::string& command, bool freshPerGame,
                                       TextSink sink) {
  std::string error;
  auto resolved = ResolveBrainCommand(command, error);
  EXPECT_TRUE(resolved.has_value()) << error;
  if (!resolved) return nullptr;
  return std::make_unique<BrainPlayer>(*resolved, freshPerGame, std::move(sink));
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text, bool executable) {
  std::ofstream(path, std::ios::binary) << text;
  if (executable) chmod(path.c_str(), 0755);
}

RunResult RunProgram(const std::string& commandLine, bool closeStdin) {
  RunResult result;
  const std::string input = closeStdin ? " <&-" : " </dev/null";
  std::FILE* pipe = popen((commandLine + input + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

int CountLines(const std::string& text, const std::string& line, bool prefix) {
  std::istringstream lines(text);
  std::string each;
  int count = 0;
  while (std::getline(lines, each)) {
    if (prefix ? each.rfind(line, 0) == 0 : each == line) ++count;
  }
  return count;
}

int CountOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

GameRecord SmallGame() {
  GameRecord record{GameBoard(15), Ending::Five, Stone::Black, {}, "pbrain-a", "pbrain-b"};
  record.board.Place({{7, 7}, Stone::Black, 0});
  record.board.Place({{0, 14}, Stone::White, 120});
  record.board.Place({{8, 7}, Stone::Black, 3});
  return record;
}

GameRecord FiveInARow() {
  GameRecord record{GameBoard(15), Ending::Five, Stone::Black, {}, "x ] \\ y", "white"};
  const int32_t order[] = {7, 8, 10, 11, 9};
  for (int i = 0; i < 5; ++i) {
    record.board.Place({{order[i], 7}, Stone::Black, 10});
    if (i < 4) record.board.Place({{order[i], 8}, Stone::White, 20});
  }
  return record;
}

}  // namespace quorvex::match::test

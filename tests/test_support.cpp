#include "tests/test_support.h"

#include "engine/stone_list.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace quorvex::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvex-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

TestEngine::TestEngine(uint32_t seed, std::function<int32_t()> clock) {
  if (!clock) clock = [] { return 0; };
  engine = std::make_unique<Engine>(EngineConfig{
      .experiencePath = dir.File("Experience.bin"), .clock = std::move(clock), .seed = seed});
}

Conversation::Conversation(uint32_t seed, std::function<int32_t()> clock)
    : engine_(seed, std::move(clock)),
      loop_(std::make_unique<CommandLoop>(*engine_, in_, out_, [](int32_t) {})) {}

std::string Conversation::Say(std::string_view line) {
  out_.str("");
  loop_->HandleLine(line);
  return out_.str();
}

std::string Conversation::Ask(std::string_view line) {
  std::string reply = Say(line);
  while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) reply.pop_back();
  return reply;
}

Board BoardFromRows(const std::vector<std::string>& rows, int32_t size) {
  Board board;
  ClearBoard(board, size);
  for (std::size_t row = 0; row < rows.size(); ++row) {
    for (std::size_t col = 0; col < rows[row].size(); ++col) {
      const auto x = static_cast<int32_t>(col) + 1;
      const auto y = static_cast<int32_t>(row) + 1;
      if (!board.IsPlayable(x, y)) continue;
      if (rows[row][col] == 'X') board.at(x, y) = CellOwn;
      if (rows[row][col] == 'O') board.at(x, y) = CellOpponent;
    }
  }
  return board;
}

void PutStones(Board& board, std::string_view stones) {
  if (!PutStoneList(board, stones)) throw std::invalid_argument("bad stone list: " + std::string(stones));
}

std::string RunBrain(const std::string& brainPath, const std::string& input, int& exitCode) {
  // A brain that exits before reading all its input must not kill the test.
  signal(SIGPIPE, SIG_IGN);
  int toChild[2];
  int fromChild[2];
  if (pipe(toChild) != 0 || pipe(fromChild) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
  posix_spawn_file_actions_addclose(&actions, toChild[1]);
  posix_spawn_file_actions_addclose(&actions, fromChild[0]);
  char* argv[] = {const_cast<char*>(brainPath.c_str()), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, brainPath.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(toChild[0]);
  close(fromChild[1]);
  if (spawned != 0) throw std::runtime_error("cannot start " + brainPath);

  std::thread writer([&] {
    std::size_t done = 0;
    while (done < input.size()) {
      const ssize_t n = write(toChild[1], input.data() + done, input.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    close(toChild[1]);
  });
  std::string output;
  char chunk[4096];
  for (;;) {
    const ssize_t n = read(fromChild[0], chunk, sizeof chunk);
    if (n <= 0) break;
    output.append(chunk, static_cast<std::size_t>(n));
  }
  close(fromChild[0]);
  writer.join();
  int status = 0;
  waitpid(pid, &status, 0);
  exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return output;
}

}  // namespace quorvex::test

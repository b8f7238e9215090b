#include "tests/test_support.h"

#include "game/stone_list.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

#ifdef _WIN32
#include <algorithm>
#include <random>
#else
extern char** environ;
#endif

namespace quorvex::test {

#ifdef _WIN32
TempDir::TempDir() {
  // No mkdtemp here: try random names until one is new.
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("quorvex-test-" + std::to_string(random()) + std::to_string(random()));
    if (std::filesystem::create_directory(dir)) {
      path_ = dir.string();
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}
#else
TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvex-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}
#endif

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

#ifdef _WIN32
std::string RunBrain(const std::string& brainPath, const std::string& input, int& exitCode) {
  // The child inherits one end of each pipe; the parent's ends stay private,
  // or the child would hold its own input open and never see its end.
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE childIn = nullptr, toChild = nullptr, fromChild = nullptr, childOut = nullptr;
  if (!CreatePipe(&childIn, &toChild, &inheritable, 0) ||
      !CreatePipe(&fromChild, &childOut, &inheritable, 0)) {
    throw std::runtime_error("CreatePipe failed");
  }
  SetHandleInformation(toChild, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(fromChild, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childIn;
  startup.hStdOutput = childOut;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::string commandLine = "\"" + brainPath + "\"";
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessA(brainPath.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                      0, nullptr, nullptr, &startup, &process);
  CloseHandle(childIn);
  CloseHandle(childOut);
  if (!started) {
    CloseHandle(toChild);
    CloseHandle(fromChild);
    throw std::runtime_error("cannot start " + brainPath);
  }
  CloseHandle(process.hThread);

  std::thread writer([&] {
    std::size_t done = 0;
    while (done < input.size()) {
      DWORD n = 0;
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(input.size() - done, 1 << 16));
      if (!WriteFile(toChild, input.data() + done, want, &n, nullptr) || n == 0) break;
      done += n;
    }
    CloseHandle(toChild);
  });
  std::string output;
  char chunk[4096];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(fromChild, chunk, sizeof chunk, &n, nullptr) || n == 0) break;
    output.append(chunk, n);
  }
  CloseHandle(fromChild);
  writer.join();
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  exitCode = static_cast<int>(code);
  return output;
}
#else
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

BrainProcess::BrainProcess(const std::string& brainPath, bool asNobody) {
  signal(SIGPIPE, SIG_IGN);  // ours: a brain gone must not end the test
  int in[2];
  int out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const bool dropRoot = asNobody && geteuid() == 0;
  pid_ = fork();
  if (pid_ == 0) {
    signal(SIGPIPE, SIG_DFL);
    if (dup2(in[0], 0) < 0 || dup2(out[1], 1) < 0) _exit(126);
    if (dropRoot && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(125);
    execl(brainPath.c_str(), brainPath.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  toChild_ = in[1];
  fromChild_ = out[0];
  if (pid_ < 0) throw std::runtime_error("fork failed");
}

BrainProcess::~BrainProcess() {
  CloseInput();
  CloseOutput();
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool BrainProcess::Send(std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = write(toChild_, text.data(), text.size());
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string BrainProcess::ReadLine(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const std::size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (line.empty() || line.back() != '\r') return line + "<no CR>";
      line.pop_back();
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd ready{fromChild_, POLLIN, 0};
    if (fromChild_ < 0 || left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0)
      return "<none>";
    char chunk[4096];
    const ssize_t n = read(fromChild_, chunk, sizeof chunk);
    if (n <= 0) return "<none>";
    pending_.append(chunk, static_cast<std::size_t>(n));
  }
}

void BrainProcess::CloseInput() {
  if (toChild_ >= 0) close(toChild_);
  toChild_ = -1;
}

void BrainProcess::CloseOutput() {
  if (fromChild_ >= 0) close(fromChild_);
  fromChild_ = -1;
}

int BrainProcess::Wait(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

int ReplyPointIndex(const std::string& reply) {
  int x = -1;
  int y = -1;
  char tail = 0;
  if (std::sscanf(reply.c_str(), "%d,%d%c", &x, &y, &tail) != 2) return -1;
  if (x < 0 || y < 0 || x >= 20 || y >= 20) return -1;
  return x * 20 + y;
}

std::string PlayShortGame(BrainProcess& brain, int turns, int turnMs) {
  brain.Send("START 20\r\nINFO timeout_turn " + std::to_string(turnMs) + "\r\nBEGIN\r\n");
  if (const std::string ok = brain.ReadLine(); ok != "OK") return "START answered " + ok;
  bool taken[20 * 20] = {};
  auto take = [&](const std::string& reply) -> std::string {
    const int point = ReplyPointIndex(reply);
    if (point < 0) return "a move request answered " + reply;
    if (taken[point]) return "the brain played " + reply + ", which is taken";
    taken[point] = true;
    return {};
  };
  if (const std::string fault = take(brain.ReadLine()); !fault.empty()) return fault;
  // Our stones go on the first empty point of a fixed walk that starts next
  // to the centre, so the game stays tactical.
  int walk = 0;
  for (int turn = 0; turn < turns; ++turn) {
    int x = 0;
    int y = 0;
    do {
      x = (9 + walk * 7) % 20;
      y = (9 + walk * 3 + walk / 20) % 20;
      ++walk;
    } while (taken[x * 20 + y]);
    taken[x * 20 + y] = true;
    brain.Send("TURN " + std::to_string(x) + "," + std::to_string(y) + "\r\n");
    if (const std::string fault = take(brain.ReadLine()); !fault.empty()) return fault;
  }
  return {};
}
#endif

}  // namespace quorvex::test

#include "tools/book/shard_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorvex::book {

namespace {

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

}  // namespace

ShardProcess::~ShardProcess() {
  CloseFd(fds_[0]);
  CloseFd(fds_[1]);
  if (pid_ <= 0) return;
  Signal(SIGTERM);
  Wait();
}

bool ShardProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         std::string& error) {
  // 1. Everything the child needs, made before the fork: after it the
  //    child may only call what is safe in a signal handler.
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0) {
    error = std::string("cannot create a pipe: ") + std::strerror(errno);
    return false;
  }
  if (pipe2(err, O_CLOEXEC) != 0) {
    error = std::string("cannot create a pipe: ") + std::strerror(errno);
    close(out[0]);
    close(out[1]);
    return false;
  }
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  struct sigaction interrupt {};
  sigaction(SIGINT, nullptr, &interrupt);
  struct sigaction byDefault {
  }, ignore{};
  byDefault.sa_handler = SIG_DFL;
  ignore.sa_handler = SIG_IGN;
  const struct sigaction& onInterrupt = interrupt.sa_handler == SIG_IGN ? ignore : byDefault;
  const pid_t parent = getpid();

  // 2. The fork, with our signals held so that none runs our handler in
  //    the child before it has its own.
  sigset_t stops, before;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stops, &before);
  const pid_t pid = fork();
  if (pid == 0) {
    sigaction(SIGTERM, &byDefault, nullptr);
    sigaction(SIGINT, &onInterrupt, nullptr);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);  // we are gone already
    sigprocmask(SIG_SETMASK, &before, nullptr);
    const int null = open("/dev/null", O_RDONLY);
    if (null < 0 || dup2(null, STDIN_FILENO) < 0 || dup2(out[1], STDOUT_FILENO) < 0 ||
        dup2(err[1], STDERR_FILENO) < 0) {
      _exit(127);
    }
    execv(program.c_str(), argv.data());
    const char* text = "quorvex-book: the shard's program cannot be started\n";
    const ssize_t ignored = write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
    _exit(127);
  }
  const int forkError = errno;
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  close(out[1]);
  close(err[1]);
  if (pid < 0) {
    close(out[0]);
    close(err[0]);
    error = std::string("cannot start a process: ") + std::strerror(forkError);
    return false;
  }
  pid_ = pid;
  fds_[0] = out[0];
  fds_[1] = err[0];
  return true;
}

void ShardProcess::Read(int stream, std::vector<std::string>& lines) {
  char chunk[4096];
  const ssize_t got = read(fds_[stream], chunk, sizeof chunk);
  if (got < 0 && (errno == EINTR || errno == EAGAIN)) return;
  match::LineAssembler& assembler = lines_[stream];
  if (got > 0) {
    assembler.Feed(std::string_view(chunk, static_cast<std::size_t>(got)));
  } else {
    CloseFd(fds_[stream]);
  }
  for (std::string line; assembler.Next(line);) lines.push_back(line);
  if (fds_[stream] < 0) {
    if (std::string last = assembler.TakePartial(); !last.empty()) lines.push_back(last);
  }
}

void ShardProcess::Signal(int signal) const {
  if (pid_ > 0) kill(pid_, signal);
}

int ShardProcess::Wait() {
  int status = 0;
  pid_t reaped = -1;
  while ((reaped = waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  if (reaped < 0) return 127;
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

}  // namespace quorvex::book

#pragma once
// Helpers for the experience tool's tests: copies of the real brain with an
// experience file of our choosing beside them, environment settings that
// end with the test, and stores seen as the bytes of their file.

#include <sys/types.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "brain/engine.h"
#include "tests/gomocup/gomocup_test_support.h"

namespace quorvex::book::test {

// What OUT holds before a command that must leave it alone.
inline constexpr const char* kPrevious = "the file as it was before";

using match::test::ReadFile;
using match::test::RunProgram;
using match::test::ScratchDir;
using match::test::WriteFile;

// Copies the brain into `dir` with `experience` as its Experience.bin and
// returns the copy's path. The copy reads no file but the one given here.
std::string CopyBrain(const ScratchDir& dir, const std::string& experience = {});

// Sets an environment variable for as long as the object lives.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { unsetenv(name_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
};

// Runs `brain` on the lines of `input` (each sent with CR LF) with the
// environment settings `env` ("NAME=value ..."), and returns its output.
std::string RunBrainOn(const std::string& brain, const std::string& input, const std::string& env);

// Runs quorvex-book with `arguments` (a shell command line's words).
match::test::RunResult RunBook(const std::string& arguments);

// The experience file the engine's store would be written as.
std::string StoreBytes(Engine& engine, const ScratchDir& dir);

// Starts `commandLine` through the shell, its output into the file
// `output`; the shell becomes the program, so the id is the program's.
pid_t Start(const std::string& commandLine, const std::string& output);

// Waits until `ready` holds, for at most a minute; false if it never did.
bool WaitFor(const std::function<bool()>& ready);

// Whether a process still runs the program at `path`.
bool Runs(const std::string& path);

// Whether a process runs whose command line holds `text`.
bool RunsWith(const std::string& text);

}  // namespace quorvex::book::test

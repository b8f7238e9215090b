#pragma once
// Helpers for the tests of both tools: scratch directories, the scripted
// brain as a player, running a tool as a program, and small game records.

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "tools/gomocup/brain_process/brain_player.h"
#include "tools/gomocup/referee/game_runner.h"

namespace quorvex::match::test {

// A fresh directory under /tmp, removed with its contents at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A board with black stones at the listed points, white at none.
GameBoard BlackAt(std::initializer_list<Point> points, int32_t size = 15);

// The scripted brain's command line for `mode` with extra arguments.
std::string ScriptedCommand(const std::string& mode, const std::string& extra = "");

// MESSAGE and DEBUG lines a brain showed, as "name: line".
struct ShownText {
  std::vector<std::string> lines;
  TextSink Sink();
};

// Time enough for a scripted brain: 2 s a move, forgiven 200 ms late, 5 s
// to start.
GameSettings FastSettings();

// A brain player for `command`; the test fails if it cannot be resolved.
std::unique_ptr<BrainPlayer> MakeBrain(const std::string& command, bool freshPerGame = true,
                                       TextSink sink = {});

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text, bool executable = false);

struct RunResult {
  int exitCode = -1;
  std::string output;  // standard output and error together
};

// Runs a shell command line with no standard input: /dev/null, or a closed
// descriptor 0 with `closeStdin`.
RunResult RunProgram(const std::string& commandLine, bool closeStdin = false);

// Counts lines of `text` equal to `line`, or starting with it if `prefix`.
int CountLines(const std::string& text, const std::string& line, bool prefix = false);

// Counts the places where `part` starts in `text`.
int CountOf(const std::string& text, const std::string& part);

// Black h8, white a15, black i8 on 15x15, each with its time; black is
// "pbrain-a", white "pbrain-b".
GameRecord SmallGame();

// Black's five h8 to l8 on 15x15, its last stone j8 in the middle, white's
// four below it; black's name "x ] \ y" holds what a record must escape.
GameRecord FiveInARow();

}  // namespace quorvex::match::test

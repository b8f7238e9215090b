#pragma once
// How a brain command line becomes a program to start. Managers start a
// brain from its own directory, because brains find their files beside
// themselves; the program path is therefore made absolute before the change
// of directory.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::match {

struct BrainCommand {
  std::vector<std::string> argv;  // argv[0] is the absolute program path
  std::string directory;          // where the brain runs
  std::string name;               // file name of the program, for tables
};

// Splits `command` at blanks; single or double quotes group words, a
// backslash escapes the next character. Empty when quotes do not close.
std::optional<std::vector<std::string>> SplitCommand(std::string_view command);

// Resolves the program: a word holding "/" is taken relative to the current
// directory, a bare name is looked up in PATH. On failure `error` says why
// and the result is empty.
std::optional<BrainCommand> ResolveBrainCommand(std::string_view command, std::string& error);

}  // namespace quorvex::match

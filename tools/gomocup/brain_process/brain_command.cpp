#include "tools/gomocup/brain_process/brain_command.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace quorvex::match {

namespace {

bool IsExecutableFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<std::vector<std::string>> SplitCommand(std::string_view command) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (size_t i = 0; i < command.size(); ++i) {
    const char c = command[i];
    if (quote != 0) {
      if (c == quote) {
        quote = 0;
      } else {
        word.push_back(c);
      }
    } else if (c == '\'' || c == '"') {
      quote = c;
      inWord = true;
    } else if (c == '\\' && i + 1 < command.size()) {
      word.push_back(command[++i]);
      inWord = true;
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word.push_back(c);
      inWord = true;
    }
  }
  if (quote != 0) return std::nullopt;
  if (inWord) words.push_back(std::move(word));
  return words;
}

std::optional<BrainCommand> ResolveBrainCommand(std::string_view command, std::string& error) {
  const auto words = SplitCommand(command);
  if (!words) {
    error = "unbalanced quotes in brain command: " + std::string(command);
    return std::nullopt;
  }
  if (words->empty()) {
    error = "empty brain command";
    return std::nullopt;
  }
  const std::string& program = words->front();
  std::filesystem::path path;
  if (program.find('/') != std::string::npos) {
    std::error_code ignored;
    path = std::filesystem::absolute(program, ignored).lexically_normal();
  } else {
    const char* searchPath = std::getenv("PATH");
    std::string_view dirs = searchPath != nullptr ? searchPath : "/usr/bin:/bin";
    while (path.empty()) {
      const size_t colon = dirs.find(':');
      const std::string dir(dirs.substr(0, colon));
      const std::filesystem::path candidate =
          std::filesystem::path(dir.empty() ? "." : dir) / program;
      if (IsExecutableFile(candidate)) {
        std::error_code ignored;
        path = std::filesystem::absolute(candidate, ignored).lexically_normal();
      }
      if (colon == std::string_view::npos) break;
      dirs.remove_prefix(colon + 1);
    }
  }
  if (path.empty() || !IsExecutableFile(path)) {
    error = "cannot start brain '" + program + "': no executable file " +
            (path.empty() ? "of that name in PATH" : "at " + path.string());
    return std::nullopt;
  }
  BrainCommand result;
  result.argv = *words;
  result.argv.front() = path.string();
  result.directory = path.parent_path().string();
  result.name = path.filename().string();
  return result;
}

}  // namespace quorvex::match

#pragma once
// The command line of quorvex-match and quorvex-book: CLI11 reads it, and
// a fault is named in the tools' own words. The caller adds its options to
// app(), then calls Read once.
//
// An option takes the next word as its value, whatever it looks like (or
// the text after "=": --games=3); given twice, it takes the last (unless
// the caller makes it keep all, MultiOptionPolicy::TakeAll). -h or --help
// asks for the help: nothing after it is read. The other words come back
// in order; one that looks like an option (two characters or more, from
// "-") is refused. The words are read in order, and the first fault is
// the one named: "--games takes a whole number from 1 to 100000, not "x""
// (whole_number.h), "--turn-ms needs a value" (the last word), "unknown
// option --frob" (`unknown`, then the word).

#include <cstdint>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace quorvex::command_line {

// The check of an option's value: a refusal such as "--games takes a whole
// number from 1 to 100000, not "0"" otherwise (CommandLine puts the name).
// An option of an integer type holds any number in low..high, so the value
// that passes always converts.
CLI::Validator WholeNumber(int64_t low, int64_t high);

class CommandLine {
 public:
  CommandLine();
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  CLI::App& app() { return app_; }

  // Reads `args` (the program's arguments, without its name) into the
  // options; false, with `error` set, when they are not a command line of
  // this app. `unknown` starts the refusal of a word that is no option.
  bool Read(const std::vector<std::string>& args, const std::string& unknown, std::string& error);

  bool help() const { return help_; }
  const std::vector<std::string>& words() const { return words_; }

 private:
  CLI::App app_;
  bool help_ = false;
  std::vector<std::string> words_;
};

}  // namespace quorvex::command_line

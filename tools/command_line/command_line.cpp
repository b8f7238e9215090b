#include "tools/command_line/command_line.h"

#include "tools/command_line/whole_number.h"

namespace quorvex::command_line {

namespace {

// Thrown by the help flag where it stands; CLI11's own help flag is looked
// at only once the whole line is read.
struct HelpAsked {};

bool LooksLikeOption(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

}  // namespace

CLI::Validator WholeNumber(int64_t low, int64_t high) {
  return CLI::Validator(
      [low, high](std::string& text) -> std::string {
        int64_t value = 0;
        if (ReadWholeNumber(text, low, high, value)) return {};
        return "takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
               ", not \"" + text + "\"";
      },
      "");
}

CommandLine::CommandLine() {
  app_.set_help_flag();
  app_.allow_extras();
  app_.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app_.add_flag_callback("-h,--help", [] { throw HelpAsked(); })->trigger_on_parse();
}

bool CommandLine::Read(const std::vector<std::string>& args, const std::string& unknown,
                       std::string& error) {
  // Each option is checked and stored where it stands, so the first fault
  // of the line is the one named. Not one that keeps all its values: read
  // again, it would drop the earlier ones.
  for (CLI::Option* option : app_.get_options()) {
    if (option->get_multi_option_policy() != CLI::MultiOptionPolicy::TakeAll) {
      option->trigger_on_parse();
    }
  }
  std::vector<std::string> lastFirst(args.rbegin(), args.rend());  // as CLI11 takes them
  std::string fault;
  try {
    app_.parse(lastFirst);
  } catch (const HelpAsked&) {
    help_ = true;
  } catch (const CLI::ArgumentMismatch& e) {
    // Only the last word can lack its value: any other is taken as one.
    fault = LooksLikeOption(args.back()) ? args.back() + " needs a value" : e.what();
  } catch (const CLI::ValidationError& e) {
    fault = e.what();  // "--games: takes ...", said "--games takes ..."
    if (const size_t colon = fault.find(": "); colon != std::string::npos) fault.erase(colon, 1);
  } catch (const CLI::ParseError& e) {
    fault = e.what();
  }
  // The words before the fault or the help, or all of them.
  words_ = app_.remaining();
  for (const std::string& word : words_) {
    if (LooksLikeOption(word)) {
      error = unknown + word;
      help_ = false;
      return false;
    }
  }
  error = fault;
  return fault.empty();
}

}  // namespace quorvex::command_line

#pragma once
// The commands of quorvex-book (options.h). Each writes its report to
// `out`, warnings and errors to `err` (every error naming the file at
// fault), and returns the exit status. A command that fails writes no
// file: what was there before stays as it was.

#include <ostream>

#include "tools/book/options.h"

namespace quorvex::book {

inline constexpr int ExitDone = 0;
inline constexpr int ExitFileFault = 1;     // unreadable, truncated or unwritable file, bad record
inline constexpr int ExitBadArguments = 2;
inline constexpr int ExitOpponentFault = 3;  // train: an opponent could not be started
// train: stopped by a signal (signal_stop.h) once OUT was written; the
// program then ends by that signal.
inline constexpr int ExitStopped = 128;

int RunStats(const BookOptions& options, std::ostream& out, std::ostream& err);
int RunDump(const BookOptions& options, std::ostream& out, std::ostream& err);
int RunLearn(const BookOptions& options, std::ostream& out, std::ostream& err);
int RunTrain(const BookOptions& options, std::ostream& out, std::ostream& err);
int RunTrim(const BookOptions& options, std::ostream& out, std::ostream& err);
int RunMerge(const BookOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quorvex::book

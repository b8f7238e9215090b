#pragma once
// Where a command's store goes: checked before the work starts, written
// once at the end (book/experience_write.h: whole or not at all).

#include <ostream>
#include <string>

#include "brain/engine.h"

namespace quorvex::book {

// False, with `error` naming the path, when `path` cannot be written: its
// directory is missing or not writable, or it is a directory itself. Run
// before a long command, so a mistyped path costs nothing.
bool CheckWritable(const std::string& path, std::string& error);

// Writes the engine's store to `path`; reports the file on `out`, a
// warning or the error on `err`. True when the file was written.
bool WriteBook(Engine& engine, const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace quorvex::book

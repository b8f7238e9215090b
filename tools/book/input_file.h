#pragma once
// Files the tool is given to read, opened as a brain opens its
// Experience.bin (book/read_only_file.h): regular files only, and never a
// wait, so a named pipe, a device or a directory is refused at once
// instead of hanging the tool or feeding it endless bytes.
//
// Errors start with the path and name the cause: "no such file", "not a
// regular file", "cannot be opened: ..." and, for a file read whole, its
// size against the most that is read.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace quorvex::book {

// The most of a game record that is read: a 20x20 game is a few kilobytes
// in PSQ or SGF, comments and all.
inline constexpr uint64_t MaxGameRecordBytes = uint64_t{4} << 20;

// Opens `path` for reading and sets `bytes` to its size at this moment.
// Null, with `error` set, for anything but a readable regular file. The
// caller closes the stream.
std::FILE* OpenInputFile(const std::string& path, uint64_t& bytes, std::string& error);

// The whole text of the regular file `path`, refused unless it holds at
// most `maxBytes` bytes (also when it grows past that while being read).
std::optional<std::string> ReadSmallFile(const std::string& path, uint64_t maxBytes,
                                         std::string& error);

}  // namespace quorvex::book

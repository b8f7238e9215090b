#pragma once
// Opening a file for reading only, as the experience load needs it on each
// platform: never blocking, never writing, never writing through a link.

#include <cstdint>
#include <cstdio>
#include <string>

namespace quorvex {

// Opens `path` for reading if it names a regular file (a symbolic link to
// one counts), without waiting: a named pipe would block until some writer
// came. On success returns the stream and sets `bytes` to the file's length
// at this moment. Returns null, with `bytes` 0, for anything else: no such
// file (then `missing` is set), a file that may not be read, a directory, a
// pipe or a device.
std::FILE* OpenRegularFileForReading(const std::string& path, std::uint64_t& bytes, bool& missing);

// Creates `path` as an empty file unless something of that name exists: a
// file is never truncated, and a symbolic link, dangling or not, is left
// alone, so the place it points to is never written.
void CreateEmptyFileIfAbsent(const std::string& path);

}  // namespace quorvex

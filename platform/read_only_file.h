#pragma once
// Opening a file for reading only, as the experience load needs it on each
// platform: never blocking, never writing, never writing through a link.

#include <cstdint>
#include <cstdio>
#include <string>

namespace quorvex {

// Why OpenRegularFileForReading gave no stream.
enum class ReadOpenFault {
  None,
  Missing,     // no such file
  NotRegular,  // a directory, a pipe, a device
  Refused,     // the file could not be opened; errno says why
};

// Opens `path` for reading if it names a regular file (a symbolic link to
// one counts), without waiting: a named pipe would block until some writer
// came. On success returns an ordinary blocking stream, sets `bytes` to the
// file's length at this moment and `fault` to None. Returns null, with
// `bytes` 0 and `fault` saying why, for anything else.
std::FILE* OpenRegularFileForReading(const std::string& path, std::uint64_t& bytes,
                                     ReadOpenFault& fault);

// Creates `path` as an empty file unless something of that name exists: a
// file is never truncated, and a symbolic link, dangling or not, is left
// alone, so the place it points to is never written.
void CreateEmptyFileIfAbsent(const std::string& path);

}  // namespace quorvex

#include "tools/book/input_file.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/read_only_file.h"

namespace quorvex::book {

std::FILE* OpenInputFile(const std::string& path, uint64_t& bytes, std::string& error) {
  ReadOpenFault fault = ReadOpenFault::None;
  std::FILE* file = OpenRegularFileForReading(path, bytes, fault);
  switch (fault) {
    case ReadOpenFault::None:
      break;
    case ReadOpenFault::Missing:
      error = path + ": no such file";
      break;
    case ReadOpenFault::NotRegular:
      error = path + ": not a regular file";
      break;
    case ReadOpenFault::Refused:
      error = path + ": cannot be opened: " + std::strerror(errno);
      break;
  }
  return file;
}

std::optional<std::string> ReadSmallFile(const std::string& path, uint64_t maxBytes,
                                         std::string& error) {
  uint64_t bytes = 0;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenInputFile(path, bytes, error),
                                                            std::fclose);
  if (!file) return std::nullopt;
  std::string text;
  char chunk[1 << 16];
  // Reads on past `bytes`, since the file may have grown, but never past
  // the limit.
  while (bytes <= maxBytes && text.size() <= maxBytes) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    if (got == 0) break;
    text.append(chunk, got);
  }
  if (std::ferror(file.get())) {
    error = path + ": cannot be read: " + std::strerror(errno);
    return std::nullopt;
  }
  if (bytes > maxBytes || text.size() > maxBytes) {
    error = path + ": too large: more than " + std::to_string(maxBytes) + " bytes";
    return std::nullopt;
  }
  return text;
}

}  // namespace quorvex::book

#include "book/read_only_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quorvex {

std::FILE* OpenRegularFileForReading(const std::string& path, std::uint64_t& bytes, bool& missing) {
  bytes = 0;
  // O_NONBLOCK lets a named pipe open at once; on a regular file it changes
  // nothing.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  missing = fd < 0 && errno == ENOENT;
  if (fd < 0) return nullptr;
  struct stat status {};
  std::FILE* file = nullptr;
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) file = fdopen(fd, "rb");
  if (file == nullptr) {
    close(fd);
    return nullptr;
  }
  bytes = static_cast<std::uint64_t>(status.st_size);
  return file;
}

void CreateEmptyFileIfAbsent(const std::string& path) {
  // O_EXCL fails on any name that exists, a dangling link included.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd >= 0) close(fd);
}

}  // namespace quorvex

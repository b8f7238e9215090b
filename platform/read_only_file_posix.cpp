#include "platform/read_only_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quorvex {

std::FILE* OpenRegularFileForReading(const std::string& path, std::uint64_t& bytes,
                                     ReadOpenFault& fault) {
  bytes = 0;
  // O_NONBLOCK lets a named pipe open at once; on a regular file it changes
  // nothing, and it is cleared once the file is known to be one.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    fault = errno == ENOENT ? ReadOpenFault::Missing : ReadOpenFault::Refused;
    return nullptr;
  }
  // Closes the descriptor on a failure, keeping errno for the caller.
  const auto fail = [fd, &fault](ReadOpenFault why) -> std::FILE* {
    const int error = errno;
    close(fd);
    errno = error;
    fault = why;
    return nullptr;
  };
  struct stat status {};
  if (fstat(fd, &status) != 0) return fail(ReadOpenFault::Refused);
  if (!S_ISREG(status.st_mode)) return fail(ReadOpenFault::NotRegular);
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) return fail(ReadOpenFault::Refused);
  fault = ReadOpenFault::None;
  bytes = static_cast<std::uint64_t>(status.st_size);
  return file;
}

void CreateEmptyFileIfAbsent(const std::string& path) {
  // O_EXCL fails on any name that exists, a dangling link included.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd >= 0) close(fd);
}

}  // namespace quorvex

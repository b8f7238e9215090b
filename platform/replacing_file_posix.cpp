#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/replacing_file.h"

namespace quorvex {

namespace {

std::string Reason(const std::string& path, const char* what) {
  return "cannot " + std::string(what) + " " + path + ": " + std::strerror(errno);
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

ReplacingFile::Creation ReplacingFile::CreateTemporary(const std::string& name, std::string& error) {
  const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return Creation::NameTaken;
    error = Reason(path_, "write");
    return Creation::Failed;
  }
  handle_ = fd;
  // A file that is replaced keeps its mode (a read-only book stays so).
  struct stat old {};
  if (stat(path_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd, old.st_mode & 07777);
  return Creation::Created;
}

bool ReplacingFile::Write(const uint8_t* data, std::size_t size, std::string& error) {
  if (handle_ < 0) {
    error = "cannot write " + path_ + ": the file is not open";
    return false;
  }
  const int fd = static_cast<int>(handle_);
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = Reason(path_, "write");
      Discard();
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReplacingFile::Commit(std::string& error) {
  if (handle_ < 0) {
    error = "cannot write " + path_ + ": the file is not open";
    return false;
  }
  // 1. The bytes reach the disk before the name points at them, so a crash
  //    right after the rename cannot leave a renamed but empty file.
  const int fd = static_cast<int>(std::exchange(handle_, -1));
  const bool synced = fsync(fd) == 0;
  const int syncErrno = errno;
  if (close(fd) != 0 || !synced) {
    if (!synced) errno = syncErrno;
    error = Reason(path_, "write");
    Discard();
    return false;
  }
  // 2. One rename puts the whole file in place.
  if (rename(temporary_.c_str(), path_.c_str()) != 0) {
    error = Reason(path_, "replace");
    Discard();
    return false;
  }
  temporary_.clear();
  // 3. The directory entry itself, best effort: the file is already whole
  //    under its name, and some file systems refuse to sync a directory.
  const int dir = open(DirectoryOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

void ReplacingFile::Discard() {
  if (handle_ >= 0) close(static_cast<int>(std::exchange(handle_, -1)));
  if (!temporary_.empty()) unlink(std::exchange(temporary_, std::string()).c_str());
}

}  // namespace quorvex

#ifdef _WIN32

#include "platform/read_only_file.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <sys/stat.h>

#include <cerrno>

namespace quorvex {

std::FILE* OpenRegularFileForReading(const std::string& path, std::uint64_t& bytes,
                                     ReadOpenFault& fault) {
  bytes = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    fault = errno == ENOENT ? ReadOpenFault::Missing : ReadOpenFault::Refused;
    return nullptr;
  }
  struct _stat64 status {};
  if (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
    fault = ReadOpenFault::NotRegular;
    std::fclose(file);
    return nullptr;
  }
  fault = ReadOpenFault::None;
  bytes = static_cast<std::uint64_t>(status.st_size);
  return file;
}

void CreateEmptyFileIfAbsent(const std::string& path) {
  // CREATE_NEW fails on any name that exists, a link included.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

}  // namespace quorvex

#endif  // _WIN32

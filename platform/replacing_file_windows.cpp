#ifdef _WIN32

#include "platform/replacing_file.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <utility>

namespace quorvex {

namespace {

std::string Reason(const std::string& path, const char* what) {
  return "cannot " + std::string(what) + " " + path + ": Windows error " +
         std::to_string(GetLastError());
}

HANDLE AsHandle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

}  // namespace

ReplacingFile::Creation ReplacingFile::CreateTemporary(const std::string& name, std::string& error) {
  const HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_EXISTS) return Creation::NameTaken;
    error = Reason(path_, "write");
    return Creation::Failed;
  }
  handle_ = reinterpret_cast<intptr_t>(file);
  return Creation::Created;
}

bool ReplacingFile::Write(const uint8_t* data, std::size_t size, std::string& error) {
  if (handle_ == -1) {
    error = "cannot write " + path_ + ": the file is not open";
    return false;
  }
  while (size > 0) {
    const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(AsHandle(handle_), data, chunk, &written, nullptr) || written == 0) {
      error = Reason(path_, "write");
      Discard();
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

bool ReplacingFile::Commit(std::string& error) {
  if (handle_ == -1) {
    error = "cannot write " + path_ + ": the file is not open";
    return false;
  }
  // 1. The bytes reach the disk before the name points at them.
  const HANDLE file = AsHandle(std::exchange(handle_, -1));
  const bool flushed = FlushFileBuffers(file) != 0;
  if (!CloseHandle(file) || !flushed) {
    error = Reason(path_, "write");
    Discard();
    return false;
  }
  // 2. One move puts the whole file in place, an old one replaced.
  if (!MoveFileExA(temporary_.c_str(), path_.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = Reason(path_, "replace");
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

void ReplacingFile::Discard() {
  if (handle_ != -1) CloseHandle(AsHandle(std::exchange(handle_, -1)));
  if (!temporary_.empty()) DeleteFileA(std::exchange(temporary_, std::string()).c_str());
}

}  // namespace quorvex

#endif  // _WIN32

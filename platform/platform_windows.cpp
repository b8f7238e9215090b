#ifdef _WIN32

#include "platform/platform.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace quorvex {

namespace {

// The running module's path, however long it is.
std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);  // the name was cut short
  }
}

// `text` in the ANSI code page, the one that narrow file names (fopen,
// std::fstream) are read in; empty when a character has no ANSI form.
std::string ToAnsi(const std::wstring& text) {
  if (text.empty() || text.size() > 0x7fffffff) return {};
  const int wide = static_cast<int>(text.size());
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), wide, nullptr, 0,
                                    nullptr, &lossy);
  if (n <= 0 || lossy) return {};
  std::string narrow(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), wide, narrow.data(), n, nullptr,
                      nullptr);
  return narrow;
}

}  // namespace

std::string ExecutableDirectory() {
  // Managers start brains from any working directory; only the executable's
  // own path tells where its files are.
  const std::wstring path = ModulePath();
  const std::size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos) return {};
  const std::wstring dir = path.substr(0, cut + 1);
  std::string narrow = ToAnsi(dir);
  if (!narrow.empty()) return narrow;
  // A folder name outside the ANSI code page may still have a short
  // (8.3) name, which is plain ASCII.
  const DWORD size = GetShortPathNameW(dir.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring shortDir(size, L'\0');
  const DWORD n = GetShortPathNameW(dir.c_str(), shortDir.data(), size);
  if (n == 0 || n >= size) return {};
  shortDir.resize(n);
  return ToAnsi(shortDir);
}

void PrepareConsole() {
  // In the C runtime's default text mode every "\n" written becomes "\r\n",
  // so the replies' CR LF would go out as CR CR LF, and a Ctrl-Z byte read
  // from a pipe would end the input. Binary mode passes bytes unchanged.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

int64_t ProcessId() { return static_cast<int64_t>(GetCurrentProcessId()); }

}  // namespace quorvex

#endif  // _WIN32

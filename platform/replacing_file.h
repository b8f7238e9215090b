#pragma once
// A file that takes the place of `path` only once it is whole.
//
// Open() creates a new temporary file beside `path` (in the same directory,
// so the final rename stays on one file system); Write() appends to it;
// Commit() flushes it to the disk, closes it and renames it over `path` in
// one step. Until Commit() has succeeded, `path` is exactly as it was: a
// reader sees either the old file or the whole new one, never a part. If
// any step fails, or the object goes before Commit(), the temporary file is
// removed. Only a process killed outright can leave a temporary file
// ("PATH.tmp-PID-N") behind, and even then `path` is untouched.
//
// On POSIX a file that is replaced keeps its permission bits and a new one
// gets the usual ones for a created file; Windows refuses to replace a
// read-only file. Errors are texts naming the path and the
// system's reason. Single-threaded; not copyable.

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvex {

class ReplacingFile {
 public:
  explicit ReplacingFile(std::string path);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Creates the temporary file; false with `error` set when it cannot.
  bool Open(std::string& error);

  // Appends `size` bytes; requires a successful Open().
  bool Write(const uint8_t* data, std::size_t size, std::string& error);

  // Puts the written bytes in place of `path`. After it, successful or not,
  // no temporary file is left.
  bool Commit(std::string& error);

 private:
  enum class Creation { Created, NameTaken, Failed };

  // The platform's part of Open(): creates `name` exclusively and keeps its
  // handle, or says the name is taken, or fails with `error` set.
  Creation CreateTemporary(const std::string& name, std::string& error);
  void Discard();

  std::string path_;
  std::string temporary_;
  intptr_t handle_ = -1;  // the platform's descriptor or handle; -1 when closed
};

}  // namespace quorvex

#include "tools/book/book_output.h"

#include <unistd.h>

#include <filesystem>

#include "book/experience_file.h"
#include "book/experience_write.h"

namespace quorvex::book {

bool CheckWritable(const std::string& path, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  const fs::path target(path);
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (fs::is_directory(target, ignored)) {
    error = path + ": is a directory, not a file to write";
  } else if (!fs::is_directory(dir, ignored)) {
    error = path + ": cannot be written: no directory " + dir.string();
  } else if (access(dir.c_str(), W_OK) != 0) {
    error = path + ": cannot be written: the directory " + dir.string() + " is not writable";
  } else {
    return true;
  }
  return false;
}

bool WriteBook(Engine& engine, const std::string& path, std::ostream& out, std::ostream& err) {
  const ExperienceWriteResult written = WriteExperienceFile(engine.store().Db(), path);
  if (!written.ok) {
    err << "quorvex-book: " << written.error << "\n";
    return false;
  }
  if (!written.warning.empty()) err << "quorvex-book: warning: " << path << ": " << written.warning << "\n";
  out << "wrote " << path << ": " << written.records << " records, "
      << written.records * static_cast<int64_t>(ExperienceRecordBytes) << " bytes\n";
  return true;
}

}  // namespace quorvex::book

#include "platform/replacing_file.h"

#include <utility>

#include "platform/platform.h"

namespace quorvex {
namespace {

constexpr int kNameAttempts = 100;

}  // namespace

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)) {}

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::Open(std::string& error) {
  Discard();
  // A fresh name each time, created exclusively: never a file someone else made.
  static int counter = 0;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = path_ + ".tmp-" + std::to_string(ProcessId()) + "-" + std::to_string(++counter);
    switch (CreateTemporary(name, error)) {
      case Creation::Created:
        temporary_ = name;
        return true;
      case Creation::Failed:
        return false;
      case Creation::NameTaken:
        break;
    }
  }
  error = "cannot write " + path_ + ": no free name for a temporary file beside it";
  return false;
}

}  // namespace quorvex

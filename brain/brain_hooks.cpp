#include "brain/brain_hooks.h"

#include <charconv>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "book/experience_write.h"

namespace quorvex {

namespace {

constexpr const char* kWho = "pbrain-quorvex: ";

std::optional<uint32_t> ReadSeed(std::string_view text) {
  uint32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, failure] = std::from_chars(text.data(), end, value);
  if (text.empty() || failure != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::string ExpandProcessId(std::string path, int64_t processId) {
  const std::string id = std::to_string(processId);
  for (std::size_t at = path.find("%p"); at != std::string::npos; at = path.find("%p", at)) {
    path.replace(at, 2, id);
    at += id.size();
  }
  return path;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ignored;
  return std::filesystem::weakly_canonical(a, ignored) ==
         std::filesystem::weakly_canonical(b, ignored);
}

}  // namespace

BrainHooks ReadBrainHooks(const std::function<const char*(const char*)>& getenv,
                          int64_t processId, const std::string& experiencePath,
                          std::ostream& problems) {
  BrainHooks hooks;
  if (const char* seed = getenv("QUORVEX_SEED")) {
    hooks.seed = ReadSeed(seed);
    if (!hooks.seed) {
      problems << kWho << "QUORVEX_SEED=" << seed
               << " is not a decimal number from 0 to 4294967295; the seed is drawn as usual\n";
    }
  }
  if (const char* dump = getenv("QUORVEX_STORE_DUMP"); dump != nullptr && *dump != '\0') {
    hooks.storeDumpPath = ExpandProcessId(dump, processId);
    if (SameFile(hooks.storeDumpPath, experiencePath)) {
      problems << kWho << "QUORVEX_STORE_DUMP=" << dump
               << " names the experience file, which the brain never writes; no dump\n";
      hooks.storeDumpPath.clear();
    }
  }
  return hooks;
}

void DumpStore(Engine& engine, const std::string& path, std::ostream& problems) {
  const ExperienceWriteResult written = WriteExperienceFile(engine.store().Db(), path);
  if (!written.ok) problems << kWho << "QUORVEX_STORE_DUMP: " << written.error << "\n";
  if (!written.warning.empty()) problems << kWho << "QUORVEX_STORE_DUMP: " << written.warning << "\n";
}

}  // namespace quorvex

#include "tools/book/resume_file.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "book/statement.h"
#include "platform/replacing_file.h"
#include "tools/book/input_file.h"

namespace quorvex::book {

namespace {

constexpr const char* kHeader = "quorvex-book train resume 1";
constexpr uint64_t kMaxBytes = 1 << 20;  // the generator takes some 7 KB

constexpr uint64_t kFnvOffset = 14695981039346656037u;
constexpr uint64_t kFnvPrime = 1099511628211u;

void Mix(uint64_t& digest, uint64_t value) {
  for (int byte = 0; byte < 8; ++byte) {
    digest = (digest ^ ((value >> (8 * byte)) & 0xFF)) * kFnvPrime;
  }
}

std::string Hex(uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::map<std::string, std::string> Fields(const std::string& run) {
  std::map<std::string, std::string> fields;
  std::istringstream words(run);
  for (std::string word; words >> word;) {
    const std::size_t equals = word.find('=');
    fields[word.substr(0, equals)] = equals == std::string::npos ? "" : word.substr(equals + 1);
  }
  return fields;
}

}  // namespace

std::string ResumePath(const std::string& out) { return out + ".resume"; }

bool WriteResumePoint(const std::string& path, const ResumePoint& point, std::string& error) {
  const match::Tally& t = point.tally;
  const std::string text =
      std::string(kHeader) + "\nrun " + point.run + "\nseed " + std::to_string(point.seed) +
      "\ngames " + std::to_string(point.gamesDone) + "\nstamp " + std::to_string(point.stamp) +
      "\nstore " + std::to_string(point.storeRows) + " " + Hex(point.storeDigest) + "\ntally " +
      std::to_string(t.wins) + " " + std::to_string(t.losses) + " " + std::to_string(t.draws) +
      " " + std::to_string(t.forfeits) + "\ncurve " + point.curve + "\nrng " + point.rng + "\n";
  ReplacingFile file(path);
  return file.Open(error) &&
         file.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size(), error) &&
         file.Commit(error);
}

std::optional<ResumePoint> ReadResumePoint(const std::string& path, std::string& error) {
  error.clear();
  std::error_code ignored;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, ignored))) return std::nullopt;
  const std::optional<std::string> text = ReadSmallFile(path, kMaxBytes, error);
  if (!text) return std::nullopt;
  std::istringstream lines(*text);
  std::string line;
  ResumePoint point;
  bool seen[8] = {};
  if (!std::getline(lines, line) || line != kHeader) {
    error = path + ": not a resume file of quorvex-book train";
    return std::nullopt;
  }
  static const char* const kNames[] = {"run",   "seed",  "games", "stamp",
                                       "store", "tally", "curve", "rng"};
  while (std::getline(lines, line)) {
    const std::size_t space = line.find(' ');
    const std::string name = line.substr(0, space);
    std::istringstream value(space == std::string::npos ? "" : line.substr(space + 1));
    std::string digest;
    bool ok = true;
    int index = 0;
    while (index < 8 && name != kNames[index]) ++index;
    switch (index) {
      case 0:
        point.run = value.str();
        break;
      case 1:
        ok = static_cast<bool>(value >> point.seed);
        break;
      case 2:
        ok = static_cast<bool>(value >> point.gamesDone);
        break;
      case 3:
        ok = static_cast<bool>(value >> point.stamp);
        break;
      case 4:
        ok = static_cast<bool>(value >> point.storeRows >> digest) && digest.size() == 16 &&
             std::from_chars(digest.data(), digest.data() + 16, point.storeDigest, 16).ptr ==
                 digest.data() + 16;
        break;
      case 5:
        ok = static_cast<bool>(value >> point.tally.wins >> point.tally.losses >>
                               point.tally.draws >> point.tally.forfeits);
        break;
      case 6:
        point.curve = value.str();
        break;
      case 7:
        point.rng = value.str();
        break;
      default:
        ok = false;
    }
    if (!ok || seen[index]) {
      error = path + ": not a resume file of quorvex-book train: its line \"" + line.substr(0, 40) +
              "\" is wrong";
      return std::nullopt;
    }
    seen[index] = true;
  }
  for (int i = 0; i < 8; ++i) {
    if (!seen[i]) {
      error = path + ": not a whole resume file: it has no " + kNames[i] + " line";
      return std::nullopt;
    }
  }
  return point;
}

std::string RunDifference(const std::string& mine, const std::string& theirs) {
  const auto here = Fields(mine);
  const auto there = Fields(theirs);
  std::string text;
  for (const auto& [name, value] : here) {
    const auto other = there.find(name);
    const std::string otherValue = other == there.end() ? "none" : other->second;
    if (otherValue == value) continue;
    text +=
        (text.empty() ? "" : ", ") + name + " (" + value + " here, " + otherValue + " in the file)";
  }
  for (const auto& [name, value] : there) {
    if (!here.contains(name)) text += (text.empty() ? "" : ", ") + name + " (none here)";
  }
  return text;
}

uint64_t StoreDigest(Engine& engine, int64_t& rows) {
  Statement all(engine.store().Db(),
                "select CRC, PrevCRC, X, Y, WINS, LOSSES, MoveNo, Touch from Openings order by "
                "rowid");
  uint64_t digest = kFnvOffset;
  rows = 0;
  while (all.Step()) {
    ++rows;
    for (int column = 0; column < 8; ++column)
      Mix(digest, static_cast<uint64_t>(all.Int64(column)));
  }
  return digest;
}

std::string TextDigest(const std::string& text) {
  uint64_t digest = kFnvOffset;
  for (const char c : text) digest = (digest ^ static_cast<unsigned char>(c)) * kFnvPrime;
  return Hex(digest);
}

}  // namespace quorvex::book

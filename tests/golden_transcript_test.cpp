// Golden transcripts: the brain's replies and its store, locked byte for byte.
//
// Each tests/golden/NAME.in is a script for one or two seeded brain
// processes. Running it gives a transcript: every line sent, every reply,
// and the whole store (QUORVEX_STORE_DUMP) as it stands at each START and
// when the brain ends. The transcript must equal tests/golden/NAME.txt.
// Together the scripts pass every branch of the move decision, so a change
// to a reply, a stored row or the order of the rows shows as a diff.
//
// Script lines (blank lines and "#" comments are skipped):
//   brain A seed N [experience FILE]  the next brain (A, then B) with
//                                     QUORVEX_SEED=N and, if given, FILE
//                                     (records written as in transcripts)
//                                     as its Experience.bin
//   A LINE     LINE sent to brain A; "$" stands for the other brain's last move
//   relay N    self-play: up to N times "TURN <last move>" to the brain that
//              did not make it, stopping at a five
// Every line sent is answered by one reply but INFO, BOARD, END and the
// stones of a listing. Transcript lines: "A> " sent, "A< " a reply, "A= " a
// store dump (a count, then per record CRC and PrevCRC in hex, X, Y, WINS,
// LOSSES, MoveNo, Touch), "A  exit" the brain's exit code.
//
// No reply may depend on the clock: turn times are long enough that no
// search is cut short, the search runs out of time only with a match time
// below the reserve (out of time before its first clock read), and a turn
// time of 0 is used only where the search answers without reading the clock.
//
// When a reply is meant to change, rewrite the transcripts and review the diff:
//   QUORVEX_GOLDEN_RECORD=1 build/tests/quorvex_tests --gtest_filter='*GoldenTranscript*'
// Otherwise the test never writes them; a mismatch leaves the transcript it
// got in the working directory as NAME.actual.txt.

#ifndef _WIN32

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace quorvex {
namespace {

const std::string kDir = QUORVEX_GOLDEN_DIR;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The 28-byte record: CRC, PrevCRC (int64), X, Y (int8), WINS, LOSSES,
// MoveNo (int16), Touch (int32), little-endian.
constexpr int kWidths[] = {8, 8, 1, 1, 2, 2, 2, 4};

std::string RecordText(const unsigned char* bytes) {
  std::string text;
  for (int field = 0; field < 8; ++field) {
    const int width = kWidths[field];
    uint64_t raw = 0;
    for (int i = width - 1; i >= 0; --i) raw = raw << 8 | bytes[i];
    bytes += width;
    const int shift = 64 - 8 * width;
    char out[24];
    if (field < 2) {
      std::snprintf(out, sizeof out, "%s%016llx", field == 0 ? "" : " ",
                    static_cast<unsigned long long>(raw));
    } else {
      std::snprintf(out, sizeof out, " %lld",
                    static_cast<long long>(static_cast<int64_t>(raw << shift) >> shift));
    }
    text += out;
  }
  return text;
}

std::string RecordBytes(const std::string& text) {
  std::istringstream in(text);
  std::string bytes;
  for (int field = 0; field < 8; ++field) {
    std::string word;
    in >> word;
    const uint64_t raw = field < 2 ? std::stoull(word, nullptr, 16)
                                   : static_cast<uint64_t>(std::stoll(word));
    for (int i = 0; i < kWidths[field]; ++i) bytes += static_cast<char>(raw >> (8 * i) & 0xFF);
  }
  return bytes;
}

struct Brain {
  char name;
  test::TempDir dir;
  std::unique_ptr<test::BrainProcess> process;
  std::string lastMove;
  bool listing = false;
};

class Transcript {
 public:
  void Run(const std::string& script) {
    std::istringstream lines(script);
    std::string line;
    while (std::getline(lines, line)) {
      if (line.empty() || line[0] == '#') continue;
      if (line.starts_with("brain ")) {
        Start(line);
      } else if (line.starts_with("relay ")) {
        for (int n = std::stoi(line.substr(6)); n > 0 && !fiveMade_; --n) {
          const int to = 1 - lastMover_;
          if (!Send(to, "TURN " + brains_[lastMover_]->lastMove)) break;
        }
      } else {
        Send(line[0] - 'A', line.substr(2));
      }
    }
    for (auto& brain : brains_) End(*brain);
  }
  const std::string& text() const { return text_; }

 private:
  void Start(const std::string& line) {
    auto brain = std::make_unique<Brain>();
    brain->name = static_cast<char>('A' + brains_.size());
    std::istringstream words(line.substr(8));
    std::string seed, word, experience;
    words >> word >> seed >> word >> experience;
    std::string bytes;
    if (!experience.empty()) {
      std::istringstream records(ReadText(kDir + "/" + experience));
      for (std::string record; std::getline(records, record);)
        if (!record.empty() && record[0] != '#') bytes += RecordBytes(record);
    }
    std::filesystem::copy_file(QUORVEX_BRAIN_PATH, brain->dir.File("pbrain-quorvex"));
    std::ofstream(brain->dir.File("Experience.bin"), std::ios::binary) << bytes;
    setenv("QUORVEX_SEED", seed.c_str(), 1);
    setenv("QUORVEX_STORE_DUMP", brain->dir.File("dump").c_str(), 1);
    brain->process = std::make_unique<test::BrainProcess>(brain->dir.File("pbrain-quorvex"));
    unsetenv("QUORVEX_SEED");
    unsetenv("QUORVEX_STORE_DUMP");
    brains_.push_back(std::move(brain));
  }

  // Sends `line` to brain `to` and reads its reply if the line asks for one;
  // true when the reply was a move.
  bool Send(int to, std::string line) {
    Brain& brain = *brains_.at(to);
    if (const auto at = line.find('$'); at != std::string::npos)
      line.replace(at, 1, brains_.at(1 - to)->lastMove);
    Log(brain, '>', line);
    brain.process->Send(line + "\r\n");
    Track(to, line);
    // Within a listing, any line that is no command is a stone.
    static const std::set<std::string> kCommands = {"STAR", "BEGI", "TURN", "INFO",
                                                    "BOAR", "DONE", "END",  "ABOU"};
    const std::string word = line.substr(0, 4);
    const bool stone = brain.listing && !kCommands.contains(word);
    if (word == "BOAR") brain.listing = true;
    if (word == "DONE") brain.listing = false;
    if (word == "INFO" || word == "BOAR" || word == "END" || stone) return false;
    const std::string reply = brain.process->ReadLine();
    Log(brain, '<', reply);
    if (word == "STAR") Dump(brain);
    int x = 0, y = 0;
    char tail = 0;
    if (word == "STAR" || std::sscanf(reply.c_str(), "%d,%d%c", &x, &y, &tail) != 2) return false;
    brain.lastMove = reply;
    lastMover_ = to;
    Place(x, y, to);
    return true;
  }

  // The referee's board, so self-play stops at a five as a manager would.
  void Track(int to, const std::string& line) {
    int x = 0, y = 0, owner = 0;
    if (line.starts_with("STAR")) {
      stones_.clear();
      fiveMade_ = false;
    }
    if (std::sscanf(line.c_str(), "TURN %d,%d", &x, &y) == 2) Place(x, y, 1 - to);
    if (std::sscanf(line.c_str(), "%d,%d,%d", &x, &y, &owner) == 3 && (owner == 1 || owner == 2)) {
      Place(x, y, owner == 1 ? to : 1 - to);
    }
  }

  void Place(int x, int y, int who) {
    stones_[{x, y}] = who;
    for (const auto& [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, 1}, {1, -1}}) {
      int run = 1;
      for (const int sign : {1, -1}) {
        for (int k = 1;; ++k) {
          const auto it = stones_.find({x + sign * k * dx, y + sign * k * dy});
          if (it == stones_.end() || it->second != who) break;
          ++run;
        }
      }
      if (run >= 5) fiveMade_ = true;
    }
  }

  void Dump(Brain& brain) {
    const std::string bytes = ReadText(brain.dir.File("dump"));
    Log(brain, '=', std::to_string(bytes.size() / 28) + " records");
    for (std::size_t at = 0; at + 28 <= bytes.size(); at += 28)
      Log(brain, '=', RecordText(reinterpret_cast<const unsigned char*>(bytes.data() + at)));
  }

  void End(Brain& brain) {
    brain.process->CloseInput();
    Log(brain, ' ', "exit " + std::to_string(brain.process->Wait()));
    for (std::string extra; (extra = brain.process->ReadLine()) != "<none>";) {
      Log(brain, '<', extra);
    }
    Dump(brain);
  }

  void Log(const Brain& brain, char kind, const std::string& text) {
    text_ += std::string{brain.name, kind, ' '} + text + "\n";
  }

  std::vector<std::unique_ptr<Brain>> brains_;
  std::map<std::pair<int, int>, int> stones_;
  int lastMover_ = 0;
  bool fiveMade_ = false;
  std::string text_;
};

std::vector<std::string> Scenarios() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kDir))
    if (entry.path().extension() == ".in") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class GoldenTranscript : public testing::TestWithParam<std::string> {};

TEST_P(GoldenTranscript, MatchesTheRecording) {
  const std::string name = GetParam();
  Transcript transcript;
  transcript.Run(ReadText(kDir + "/" + name + ".in"));
  const std::string& got = transcript.text();
  if (std::getenv("QUORVEX_GOLDEN_RECORD") != nullptr) {
    std::ofstream(kDir + "/" + name + ".txt", std::ios::binary) << got;
    return;
  }
  const std::string want = ReadText(kDir + "/" + name + ".txt");
  if (got == want) return;
  std::ofstream(name + ".actual.txt", std::ios::binary) << got;
  const std::vector<std::string> gotLines = Lines(got), wantLines = Lines(want);
  std::size_t n = 0;
  while (n < gotLines.size() && n < wantLines.size() && gotLines[n] == wantLines[n]) ++n;
  FAIL() << name << ".txt differs from line " << n + 1 << ": want \""
         << (n < wantLines.size() ? wantLines[n] : "<end>") << "\", got \""
         << (n < gotLines.size() ? gotLines[n] : "<end>") << "\"";
}

INSTANTIATE_TEST_SUITE_P(Scenarios, GoldenTranscript, testing::ValuesIn(Scenarios()),
                         [](const testing::TestParamInfo<std::string>& scenario) {
                           return scenario.param;
                         });

}  // namespace
}  // namespace quorvex

#endif  // the brain is driven through POSIX pipes

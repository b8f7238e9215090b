// What the tool is given to read as an experience file: missing,
// unreadable, truncated files and files of no records are refused, named
// with the fault, and the file to write stays as it was; pipes, devices and
// huge sparse files are refused at once and within a small memory; a valid
// file larger than a brain reads is read whole; records no engine writes
// are counted and shown, unless the file begins with nothing else.

#include "tools/book/experience_input.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/book/book_test_support.h"
#include "tests/experience_test_support.h"

namespace quorvex::book {
namespace {

using test::ScratchDir;

using test::kPrevious;

TEST(BookErrors, ExperienceFilesThatAreMissingUnreadableTruncatedOrNoRecordsAreRefused) {
  ScratchDir dir;
  mkdir(dir.File("folder").c_str(), 0755);
  const quorvex::test::Bytes two = quorvex::test::EncodeRecords({{1, 2, 11, 11, 1, 1, 1, 1}, {3, 1, 12, 11, 1, 1, 2, 1}});
  test::WriteFile(dir.File("truncated.bin"), std::string(two.begin(), two.end()) + "frag!");
  test::WriteFile(dir.File("text.bin"), "Piskvorky 20x20, 11:11, 0\r\n11,11,0\r\n");
  test::WriteFile(dir.File("game.psq"), "Piskvorky 20x20, 11:11, 0\r\n11,11,0\r\n");
  struct Case {
    const char* file;
    const char* says;
  };
  const Case cases[] = {
      {"missing.bin", "missing.bin: no such file"},
      {"folder", "folder: not a regular file"},
      {"truncated.bin", "truncated.bin: truncated: 5 bytes at offset 56"},
      {"text.bin", "text.bin: not an experience file: the record at offset 0"},
  };
  const std::string out = dir.File("out.bin");
  for (const Case& c : cases) {
    const std::string bad = dir.File(c.file);
    for (const std::string& command :
         {"stats " + bad, "dump " + bad, "trim " + bad + " " + out,
          "learn " + out + " " + dir.File("game.psq") + " --base " + bad,
          "train " + out + " --opponent " + SCRIPTED_BRAIN_PATH + " --base " + bad}) {
      test::WriteFile(out, kPrevious);
      const auto result = test::RunBook(command);
      EXPECT_EQ(result.exitCode, 1) << command << "\n" << result.output;
      EXPECT_NE(result.output.find(c.says), std::string::npos) << command << "\n" << result.output;
      EXPECT_EQ(test::ReadFile(out), kPrevious) << command;
    }
  }
}

// Runs the tool on `arguments` with a deadline, so that a hang fails
// instead of stalling, and within 512 MB of address space, so that reading
// a huge input whole dies instead of passing (the sanitizers reserve far
// more than that, so their build runs without the limit). Checks the exit
// status and that the output holds `says`.
std::string Expect(const std::string& arguments, int exitCode, const std::string& says) {
#if defined(__SANITIZE_ADDRESS__)
  const std::string limit;
#else
  const std::string limit = "ulimit -v 524288; ";
#endif
  const auto result = test::RunProgram("(" + limit + "exec timeout 60 " + QUORVEX_BOOK_PATH + " " +
                                       arguments + ")");
  EXPECT_EQ(result.exitCode, exitCode) << arguments << "\n" << result.output;
  EXPECT_NE(result.output.find(says), std::string::npos) << arguments << "\n" << result.output;
  return result.output;
}

ExperienceRecord Row(int64_t i, int64_t moveNo = 1) { return {i * 7919 + 1, i, 11, 11, 1, 1, moveNo, 5}; }

void WriteRecords(const std::string& path, const std::vector<ExperienceRecord>& records) {
  quorvex::test::WriteBytes(path, quorvex::test::EncodeRecords(records));
}

TEST(BookInputs, PipesDevicesAndHugeSparseFilesAreRefusedAtOnce) {
  ScratchDir dir;
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  // A gigabyte of zeros, and a game record too large to be one.
  const std::string sparse = dir.File("sparse.bin");
  const std::string game = dir.File("game.psq");
  const std::string bigGame = dir.File("big.psq");
  test::WriteFile(sparse, "");
  test::WriteFile(game, "Piskvorky 20x20, 11:11, 0\r\n11,11,0\r\n");
  test::WriteFile(bigGame, test::ReadFile(game));
  ASSERT_EQ(truncate(sparse.c_str(), off_t{1} << 30), 0);
  ASSERT_EQ(truncate(bigGame.c_str(), off_t{5} << 20), 0);
  const std::string out = dir.File("out.bin");
  const std::string learn = "learn " + out + " " + game;
  Expect("stats " + fifo, 1, "fifo: not a regular file");
  Expect("learn " + out + " " + fifo, 1, "fifo: not a regular file");
  Expect(learn + " --base " + fifo, 1, "fifo: not a regular file");
  Expect(learn + " /dev/zero", 1, "/dev/zero: not a regular file");
  Expect("learn " + out + " " + bigGame, 1, "big.psq: too large: more than 4194304 bytes");
  Expect("stats " + sparse, 1, "sparse.bin: not an experience file: the record at offset 0");
  Expect("trim " + sparse + " " + out, 1, "sparse.bin: not an experience file");
  Expect(learn + " --base " + sparse, 1, "sparse.bin: not an experience file");
  // A valid start does not make 1.75 GB readable whole.
  WriteRecords(sparse, {Row(1)});
  ASSERT_EQ(truncate(sparse.c_str(), off_t{28} << 26), 0);
  Expect("stats " + sparse, 1, "more than quorvex-book reads (134217728, 128 MiB)");
  EXPECT_NE(access(out.c_str(), F_OK), 0);
}

TEST(BookInputs, AFileLargerThanABrainReadsIsReadWholeAndTrimmed) {
  ScratchDir dir;
  // 40 records beyond what a brain reads, the last with a Touch of its own.
  const int64_t brainRecords = (int64_t{32} << 20) / 28;
  const int64_t count = brainRecords + 40;
  quorvex::test::Bytes bytes(static_cast<std::size_t>(count) * ExperienceRecordBytes);
  for (int64_t i = 0; i < count; ++i) {
    ExperienceRecord r = Row(i, i % 400 + 1);
    r.touch = i == count - 1 ? 9 : 5;
    EncodeExperienceRecord(r, bytes.data() + i * ExperienceRecordBytes);
  }
  const std::string big = dir.File("big.bin");
  quorvex::test::WriteBytes(big, bytes);
  const std::string n = std::to_string(count);
  const std::string stats = Expect("stats " + big, 0, "records             " + n + "\n");
  EXPECT_NE(stats.find("a brain loads       " + std::to_string(brainRecords) + " records"),
            std::string::npos);
  // The brain's stamp comes from the records it reads, not from the last.
  EXPECT_NE(stats.find("5 to 9, a brain loading the file stamps its rows 6\n"), std::string::npos);
  Expect("dump --csv " + big + " 2>/dev/null | tail -n 1", 0,
         n + "," + std::to_string((count - 1) * 7919 + 1) + "," + std::to_string(count - 1) +
             ",11,11,1,1," + std::to_string((count - 1) % 400 + 1) + ",9\n");
  Expect("trim " + big + " " + big + " --max-bytes 2800", 0, "kept 100 of " + n + " records");
  EXPECT_EQ(test::ReadFile(big).size(), 2800u);
}

TEST(BookInputs, RecordsNoEngineWritesAreCountedUnlessTheFileBeginsWithNothingElse) {
  ScratchDir dir;
  // 20 records, three of which no engine writes: a point off every board,
  // a MoveNo 0 and one past the move buffer.
  std::vector<ExperienceRecord> records;
  for (int64_t i = 0; i < 20; ++i) records.push_back(Row(i, i % 9 + 1));
  records[1].x = 31;
  records[17].moveNo = 0;
  records[19].moveNo = 411;
  const std::string odd = dir.File("odd.bin");
  WriteRecords(odd, records);
  test::WriteFile(dir.File("g.psq"), "Piskvorky 20x20, 11:11, 0\r\n1,1,0\r\n");
  const std::string shown = odd + ": 3 records no engine writes, at offsets 28, 476, 532 (the " +
                            "first: its point 31,11 lies outside -8..30)";
  const std::string stats = Expect("stats " + odd, 0, "records             20\n");
  EXPECT_NE(stats.find(shown.substr(odd.size() + 2)), std::string::npos) << stats;
  Expect("trim " + odd + " " + dir.File("out.bin"), 0, "warning: " + shown);
  Expect("learn " + dir.File("out.bin") + " " + dir.File("g.psq") + " --base " + odd, 0,
         "warning: " + shown);
  const std::string dump = Expect("dump --csv " + odd, 0, "\n2,7920,1,31,11,1,1,2,5\n");
  EXPECT_NE(dump.find("\n20,150462,19,11,11,1,1,411,5\n"), std::string::npos) << dump;

  // The first 16 records decide: all of that kind, and the file is none an
  // engine wrote, whatever follows; one fit record among them, and the
  // others are only counted.
  std::vector<ExperienceRecord> junk(40, Row(0, 0));
  junk[16] = Row(16);
  WriteRecords(dir.File("junk.bin"), junk);
  Expect("stats " + dir.File("junk.bin"), 1,
         "junk.bin: not an experience file: the record at offset 0 is none an engine writes (its "
         "MoveNo 0 lies outside 1..410), nor is any other of its first 16 records");
  junk[15] = Row(15);
  WriteRecords(dir.File("junk.bin"), junk);
  Expect("stats " + dir.File("junk.bin"), 0, "38 records no engine writes, at offsets 0, 28,");
}

}  // namespace
}  // namespace quorvex::book

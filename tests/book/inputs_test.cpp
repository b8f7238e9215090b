// What the tool is given to read: pipes, devices and huge sparse files are
// refused at once and within a small memory, a valid file larger than a
// brain reads is read whole, and records no engine writes are counted and
// shown, not taken for a wrong file, unless the file begins with nothing
// else.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/book/book_test_support.h"
#include "tests/experience_test_support.h"

namespace quorvex::book {
namespace {

using test::ScratchDir;

// Runs the tool with a deadline, so that a hang fails instead of stalling,
// and within 256 MB of address space, so that reading a huge input whole
// dies instead of passing. The sanitizers reserve far more address space
// than that, so their build runs without the limit.
match::test::RunResult RunBounded(const std::string& arguments) {
#if defined(__SANITIZE_ADDRESS__)
  const std::string limit;
#else
  const std::string limit = "ulimit -v 262144; ";
#endif
  return test::RunProgram("(" + limit + "exec timeout 20 " + QUORVEX_BOOK_PATH + " " + arguments +
                          ")");
}

bool Says(const match::test::RunResult& result, const std::string& text) {
  return result.output.find(text) != std::string::npos;
}

ExperienceRecord Row(int64_t i, int64_t moveNo = 1, int64_t x = 11) {
  return {i * 7919 + 1, i, x, 11, 1, 1, moveNo, 5};
}

void WriteRecords(const std::string& path, const std::vector<ExperienceRecord>& records) {
  quorvex::test::WriteBytes(path, quorvex::test::EncodeRecords(records));
}

TEST(BookInputs, PipesDevicesAndHugeSparseFilesAreRefusedAtOnce) {
  ScratchDir dir;
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  test::WriteFile(dir.File("game.psq"), "Piskvorky 20x20, 11:11, 0\r\n11,11,0\r\n");
  // A gigabyte of zeros, and a game record too large to be one, neither
  // taking room on disk.
  const std::string sparse = dir.File("sparse.bin");
  const std::string bigGame = dir.File("big.psq");
  test::WriteFile(sparse, "");
  test::WriteFile(bigGame, "Piskvorky 20x20, 11:11, 0\r\n11,11,0\r\n");
  ASSERT_EQ(truncate(sparse.c_str(), off_t{1} << 30), 0);
  ASSERT_EQ(truncate(bigGame.c_str(), off_t{5} << 20), 0);
  const std::string out = dir.File("out.bin");
  const std::string game = dir.File("game.psq");
  const std::pair<std::string, std::string> cases[] = {
      {"stats " + fifo, "fifo: not a regular file"},
      {"learn " + out + " " + fifo, "fifo: not a regular file"},
      {"learn " + out + " " + game + " --base " + fifo, "fifo: not a regular file"},
      {"learn " + out + " " + game + " /dev/zero", "/dev/zero: not a regular file"},
      {"learn " + out + " " + bigGame, "big.psq: too large: more than 4194304 bytes"},
      {"stats " + sparse, "sparse.bin: not an experience file: the record at offset 0"},
      {"trim " + sparse + " " + out, "sparse.bin: not an experience file"},
      {"learn " + out + " " + game + " --base " + sparse, "sparse.bin: not an experience file"},
  };
  for (const auto& [arguments, says] : cases) {
    const match::test::RunResult result = RunBounded(arguments);
    EXPECT_EQ(result.exitCode, 1) << arguments << "\n" << result.output;
    EXPECT_TRUE(Says(result, says)) << arguments << "\n" << result.output;
  }
  // A valid start does not make a gigabyte readable whole.
  WriteRecords(sparse, {Row(1)});
  ASSERT_EQ(truncate(sparse.c_str(), off_t{28} << 26), 0);
  const match::test::RunResult huge = RunBounded("stats " + sparse);
  EXPECT_EQ(huge.exitCode, 1) << huge.output;
  EXPECT_TRUE(Says(huge, "more than quorvex-book reads (134217728, 128 MiB)")) << huge.output;
  EXPECT_FALSE(access(out.c_str(), F_OK) == 0);
}

TEST(BookInputs, AFileLargerThanABrainReadsIsReadWholeAndTrimmed) {
  ScratchDir dir;
  // 40 records beyond what a brain reads, the last with a Touch of its own.
  const int64_t brainRecords = (int64_t{32} << 20) / 28;
  const int64_t count = brainRecords + 40;
  quorvex::test::Bytes bytes(static_cast<std::size_t>(count) * ExperienceRecordBytes);
  for (int64_t i = 0; i < count; ++i) {
    ExperienceRecord r = Row(i, i % 400 + 1);
    if (i == count - 1) r.touch = 9;
    EncodeExperienceRecord(r, bytes.data() + i * ExperienceRecordBytes);
  }
  const std::string big = dir.File("big.bin");
  quorvex::test::WriteBytes(big, bytes);

  const match::test::RunResult stats = test::RunBook("stats " + big);
  EXPECT_EQ(stats.exitCode, 0) << stats.output;
  EXPECT_TRUE(Says(stats, "records             " + std::to_string(count) + "\n")) << stats.output;
  EXPECT_TRUE(Says(stats, "a brain loads       " + std::to_string(brainRecords) + " records"))
      << stats.output;
  // The brain's stamp comes from the records it reads, not from the last.
  EXPECT_TRUE(Says(stats, "5 to 9, a brain loading the file stamps its rows 6\n")) << stats.output;

  const match::test::RunResult dump = test::RunProgram(std::string("(") + QUORVEX_BOOK_PATH + " dump --csv " + big +
                                                  " 2>/dev/null | tail -n 1)");
  EXPECT_EQ(dump.output, std::to_string(count) + "," + std::to_string((count - 1) * 7919 + 1) + "," +
                             std::to_string(count - 1) + ",11,11,1,1," +
                             std::to_string((count - 1) % 400 + 1) + ",9\n");

  const std::string out = dir.File("out.bin");
  const match::test::RunResult trim = test::RunBook("trim " + big + " " + big + " --max-bytes 2800");
  EXPECT_EQ(trim.exitCode, 0) << trim.output;
  EXPECT_TRUE(Says(trim, "kept 100 of " + std::to_string(count) + " records")) << trim.output;
  EXPECT_TRUE(Says(trim, "a brain reads only the first 33554432 (32 MiB)")) << trim.output;
  struct stat info {};
  ASSERT_EQ(stat(big.c_str(), &info), 0);
  EXPECT_EQ(info.st_size, 2800);
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
  const std::string shown = "3 records no engine writes, at offsets 28, 476, 532 (the first: its "
                            "point 31,11 lies outside -8..30)";
  const match::test::RunResult stats = test::RunBook("stats " + odd);
  EXPECT_EQ(stats.exitCode, 0) << stats.output;
  EXPECT_TRUE(Says(stats, "records             20\n")) << stats.output;
  EXPECT_TRUE(Says(stats, shown)) << stats.output;
  const std::string out = dir.File("out.bin");
  for (const std::string& command :
       {"trim " + odd + " " + out, "learn " + out + " " + dir.File("g.psq") + " --base " + odd}) {
    test::WriteFile(dir.File("g.psq"), "Piskvorky 20x20, 11:11, 0\r\n1,1,0\r\n");
    const match::test::RunResult result = test::RunBook(command);
    EXPECT_EQ(result.exitCode, 0) << command << "\n" << result.output;
    EXPECT_TRUE(Says(result, "warning: " + odd + ": " + shown)) << command << "\n" << result.output;
  }
  const match::test::RunResult dump = test::RunBook("dump --csv " + odd);
  EXPECT_EQ(dump.exitCode, 0) << dump.output;
  EXPECT_TRUE(Says(dump, "\n2,7920,1,31,11,1,1,2,5\n")) << dump.output;
  EXPECT_TRUE(Says(dump, "\n20,150462,19,11,11,1,1,411,5\n")) << dump.output;

  // The first 16 records decide: all of that kind, and the file is none
  // an engine wrote, whatever follows; one fit record among them, and the
  // others are only counted.
  std::vector<ExperienceRecord> junk(40, Row(0, 0));
  junk[16] = Row(16);
  WriteRecords(dir.File("junk.bin"), junk);
  const match::test::RunResult refused = test::RunBook("stats " + dir.File("junk.bin"));
  EXPECT_EQ(refused.exitCode, 1) << refused.output;
  EXPECT_TRUE(Says(refused, "junk.bin: not an experience file: the record at offset 0 is none an "
                            "engine writes (its MoveNo 0 lies outside 1..410), nor is any other "
                            "of its first 16 records"))
      << refused.output;
  junk[15] = Row(15);
  WriteRecords(dir.File("junk.bin"), junk);
  const match::test::RunResult counted = test::RunBook("stats " + dir.File("junk.bin"));
  EXPECT_EQ(counted.exitCode, 0) << counted.output;
  EXPECT_TRUE(Says(counted, "38 records no engine writes, at offsets 0, 28,")) << counted.output;
}

}  // namespace
}  // namespace quorvex::book

#include "tests/book/book_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "book/experience_write.h"

namespace quorvex::book::test {

std::string CopyBrain(const ScratchDir& dir, const std::string& experience) {
  const std::string brain = dir.File("pbrain-quorvex");
  std::filesystem::copy_file(QUORVEX_BRAIN_PATH, brain,
                             std::filesystem::copy_options::overwrite_existing);
  WriteFile(dir.File("Experience.bin"), experience);
  return brain;
}

std::string RunBrainOn(const std::string& brain, const std::string& input, const std::string& env) {
  const std::string path = brain + ".input";
  WriteFile(path, input);
  const auto result = RunProgram("(" + env + " " + brain + " < " + path + ")");
  EXPECT_EQ(result.exitCode, 0) << result.output;
  return result.output;
}

match::test::RunResult RunBook(const std::string& arguments) {
  return RunProgram(std::string(QUORVEX_BOOK_PATH) + " " + arguments);
}

std::string StoreBytes(Engine& engine, const ScratchDir& dir) {
  const std::string path = dir.File("store-snapshot.bin");
  const ExperienceWriteResult written = WriteExperienceFile(engine.store().Db(), path);
  EXPECT_TRUE(written.ok) << written.error;
  return ReadFile(path);
}

}  // namespace quorvex::book::test

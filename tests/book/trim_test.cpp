// quorvex-book trim: the rows kept are those the rule keeps, within the
// limit, and the file still loads.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "tests/book/book_test_support.h"
#include "tests/experience_test_support.h"
#include "tools/book/experience_input.h"

namespace quorvex::book {
namespace {

using test::ScratchDir;

TEST(BookTrim, KeepsTheNewestTouchThenTheLowestMoveNoWithinTheLimitAndTheFileLoads) {
  ScratchDir dir;
  std::mt19937 random(7);
  std::vector<ExperienceRecord> records(1000);
  for (ExperienceRecord& r : records) {
    r = {static_cast<int64_t>(random()), static_cast<int64_t>(random()), 11, 12, 2, 1,
         1 + static_cast<int64_t>(random() % 30), 1 + static_cast<int64_t>(random() % 4)};
  }
  const quorvex::test::Bytes bytes = quorvex::test::EncodeRecords(records);
  test::WriteFile(dir.File("in.bin"), std::string(bytes.begin(), bytes.end()));
  const int64_t limit = 300 * 28 + 27;
  const auto result = test::RunBook("trim " + dir.File("in.bin") + " " + dir.File("out.bin") +
                                    " --max-bytes " + std::to_string(limit));
  ASSERT_EQ(result.exitCode, 0) << result.output;

  std::vector<std::size_t> order(records.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (records[a].touch != records[b].touch) return records[a].touch > records[b].touch;
    return records[a].moveNo < records[b].moveNo;
  });
  order.resize(300);
  std::sort(order.begin(), order.end());
  std::vector<ExperienceRecord> expected;
  for (std::size_t i : order) expected.push_back(records[i]);

  EXPECT_EQ(test::ReadFile(dir.File("out.bin")).size(), 300u * 28u);
  std::string error;
  const auto trimmed = LoadBook(dir.File("out.bin"), ReadScope::WholeFile, 0, false, error);
  ASSERT_TRUE(trimmed) << error;
  EXPECT_TRUE(StoreRows(*trimmed->engine) == expected);
}

}  // namespace
}  // namespace quorvex::book

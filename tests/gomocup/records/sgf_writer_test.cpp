// Game records written in SGF, and read back.

#include "tools/gomocup/records/sgf_writer.h"

#include <gtest/gtest.h>

#include "tests/gomocup/gomocup_test_support.h"
#include "tools/gomocup/records/game_record_reader.h"

namespace quorvex::match {
namespace {

TEST(SgfTest, WritesGomokuWithNamesAndResultAndReadsBack) {
  GameRecord record = test::FiveInARow();
  const std::string sgf = FormatSgf(record);
  EXPECT_EQ(sgf.rfind("(;FF[4]GM[4]CA[UTF-8]AP[quorvex-match]SZ[15]PB[x \\] \\\\ y]PW[white]"
                      "RE[B+]C[black (x \\] \\\\ y) wins with five in a row]\n;B[hh];W[hi];B[ih]",
                      0),
            0u)
      << sgf;
  std::string error;
  const auto read = ParseGameRecord(sgf, error);
  ASSERT_TRUE(read) << error;
  EXPECT_EQ(read->size, 15);
  EXPECT_EQ(read->blackName, "x ] \\ y");
  EXPECT_EQ(read->whiteName, "white");
  ASSERT_EQ(read->moves.size(), record.board.moves().size());
  for (size_t i = 0; i < read->moves.size(); ++i) {
    EXPECT_EQ(read->moves[i].point, record.board.moves()[i].point) << i;
    EXPECT_EQ(read->moves[i].colour, record.board.moves()[i].colour) << i;
  }
  EXPECT_TRUE(read->endsInFive);

  // Each ending's result.
  const std::vector<std::pair<Ending, const char*>> results = {
      {Ending::Resigned, "RE[W+R]"}, {Ending::Forfeit, "RE[W+F]"}, {Ending::FullBoard, "RE[0]"},
      {Ending::Stopped, "RE[Void]"}};
  record.winner = Stone::White;
  for (const auto& [ending, says] : results) {
    record.ending = ending;
    EXPECT_NE(FormatSgf(record).find(says), std::string::npos) << says;
  }
  record.ending = Ending::Unknown;
  EXPECT_EQ(FormatSgf(record).find("RE["), std::string::npos);
}

}  // namespace
}  // namespace quorvex::match

// Game records written in Piskvork's PSQ format.

#include "tools/gomocup/records/psq_writer.h"

#include <gtest/gtest.h>

#include "tests/gomocup/gomocup_test_support.h"

namespace quorvex::match {
namespace {

TEST(PsqTest, HeaderOneBasedMovesWithTimesThenNames) {
  EXPECT_EQ(FormatPsq(test::SmallGame()),
            "Piskvorky 15x15, 11:11, 0\r\n"
            "8,8,0\r\n"
            "1,15,120\r\n"
            "9,8,3\r\n"
            "pbrain-a\r\n"
            "pbrain-b\r\n");
}

}  // namespace
}  // namespace quorvex::match

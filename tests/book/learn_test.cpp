// quorvex-book learn: learned games give a fresh brain their winning
// continuations, stamped to last with --touch; a game record that does not
// parse stops the command, named with its fault, and nothing is written.

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "tests/book/book_test_support.h"
#include "tests/experience_test_support.h"
#include "tools/book/experience_input.h"

namespace quorvex::book {
namespace {

using test::ScratchDir;

// A PSQ record of protocol points "x,y x,y ...", black first.
std::string Psq(const std::string& points) {
  std::string text = "Piskvorky 20x20, 11:11, 0\r\n";
  std::istringstream in(points);
  for (std::string p; in >> p;) {
    const auto comma = p.find(',');
    text += std::to_string(std::stoi(p.substr(0, comma)) + 1) + "," +
            std::to_string(std::stoi(p.substr(comma + 1)) + 1) + ",0\r\n";
  }
  return text + "black\r\nwhite\r\n";
}

// The replies to `turns` (one TURN each, after BEGIN when `begin`).
std::string Play(const std::string& brain, bool begin, const std::string& turns) {
  std::string input = "START 20\r\nINFO timeout_turn 60000\r\n";
  if (begin) input += "BEGIN\r\n";
  std::istringstream in(turns);
  for (std::string p; in >> p;) input += "TURN " + p + "\r\n";
  return test::RunBrainOn(brain, input + "END\r\n", "QUORVEX_SEED=3");
}

TEST(BookLearn, AFreshBrainPlaysTheWinnersMovesOfTheGamesLearned) {
  ScratchDir dir;
  // Black makes five along row 10, white along row 11; the loser's stones
  // stand far off. A game cut short and one with an illegal move go along.
  test::WriteFile(dir.File("black.psq"), Psq("10,10 0,0 11,10 19,19 12,10 0,19 13,10 19,0 14,10"));
  test::WriteFile(dir.File("white.psq"),
                  Psq("10,10 10,11 0,0 11,11 19,19 12,11 0,19 13,11 19,0 14,11"));
  test::WriteFile(dir.File("short.psq"), Psq("10,10 5,5"));
  test::WriteFile(dir.File("illegal.psq"), Psq("10,10 10,10"));
  const auto result = test::RunBook("learn " + dir.File("book.bin") + " " + dir.File("black.psq") +
                                    " " + dir.File("white.psq") + " " + dir.File("short.psq") +
                                    " " + dir.File("illegal.psq"));
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_NE(result.output.find("warning: " + dir.File("illegal.psq") + ": skipped"),
            std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("3 games replayed, 2 learned from, 1 skipped"), std::string::npos)
      << result.output;

  const std::string blackMoves = "10,10\r\n11,10\r\n12,10\r\n13,10\r\n14,10\r\n";
  const std::string whiteMoves = "10,11\r\n11,11\r\n12,11\r\n13,11\r\n14,11\r\n";
  const std::string book = test::CopyBrain(dir, test::ReadFile(dir.File("book.bin")));
  EXPECT_EQ(Play(book, true, "0,0 19,19 0,19 19,0"), "OK\r\n" + blackMoves);
  EXPECT_EQ(Play(book, false, "10,10 0,0 19,19 0,19 19,0"), "OK\r\n" + whiteMoves);
  // Without the book the same brain plays otherwise.
  const std::string bare = test::CopyBrain(dir);
  EXPECT_NE(Play(bare, true, "0,0 19,19 0,19 19,0"), "OK\r\n" + blackMoves);
  EXPECT_NE(Play(bare, false, "10,10 0,0 19,19 0,19 19,0"), "OK\r\n" + whiteMoves);

  // With --touch 71000 every row is stamped to last, the tenth stone's too,
  // and the file says so; without it, the stamp is the empty store's.
  for (const bool touch : {false, true}) {
    const std::string out = dir.File(touch ? "touched.bin" : "plain.bin");
    const auto learned = test::RunBook("learn " + out + " " + dir.File("white.psq") +
                                       (touch ? " --touch 71000" : ""));
    ASSERT_EQ(learned.exitCode, 0) << learned.output;
    std::istringstream rows(test::RunBook("dump " + out + " --csv").output);
    std::string row;
    std::getline(rows, row);  // the header
    int stamped = 0, pastNine = 0;
    for (; std::getline(rows, row);) {
      std::istringstream fields(row);
      std::vector<std::string> field;
      for (std::string f; std::getline(fields, f, ',');) field.push_back(f);
      ASSERT_EQ(field.size(), 9u) << row;
      stamped += field[8] == (touch ? "71000" : "1");
      pastNine += field[7] == "10";
    }
    EXPECT_EQ(stamped, 10) << out;
    EXPECT_EQ(pastNine, 1) << out;
    EXPECT_EQ(test::RunBook("stats " + out).output.find("rows past stone 9 are kept by a brain") !=
                  std::string::npos,
              touch);
  }
}

using test::kPrevious;

TEST(BookLearn, GameRecordsThatDoNotParseStopItAndNothingIsWritten) {
  ScratchDir dir;
  test::WriteFile(dir.File("good.psq"), "Piskvorky 20x20, 11:11, 0\r\n11,11,0\r\n");
  test::WriteFile(dir.File("header.psq"), "Piskvorky 20x19, 11:11, 0\r\n11,11,0\r\n");
  test::WriteFile(dir.File("open.sgf"), "(;GM[4]SZ[15];B[hh];W[ii");
  test::WriteFile(dir.File("other.sgf"), "(;GM[1]SZ[19];B[dd])");
  const std::string out = dir.File("out.bin");
  const std::pair<const char*, const char*> records[] = {
      {"header.psq", "header.psq: line 1: "},
      {"open.sgf", "open.sgf: byte 21: "},
      {"other.sgf", "other.sgf: GM[1] is not Gomoku"},
      {"missing.psq", "missing.psq: no such file"},
  };
  for (const auto& [file, says] : records) {
    test::WriteFile(out, kPrevious);
    const auto result =
        test::RunBook("learn " + out + " " + dir.File("good.psq") + " " + dir.File(file));
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_NE(result.output.find(says), std::string::npos) << result.output;
    EXPECT_EQ(test::ReadFile(out), kPrevious) << file;
  }
}

}  // namespace
}  // namespace quorvex::book

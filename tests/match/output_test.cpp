// What the tool writes: PSQ records, boards as text and SVG, the results
// table and its Elo estimate, and the command line it accepts.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tools/match/options.h"
#include "tools/match/game_record_reader.h"
#include "tools/match/psq_writer.h"
#include "tools/match/results.h"
#include "tools/match/sgf_writer.h"
#include "tools/match/svg_board.h"
#include "tools/match/text_board.h"

namespace quorvex::match {
namespace {

int CountOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

GameRecord SmallGame() {
  GameRecord record{GameBoard(15), Ending::Five, Stone::Black, {}, "pbrain-a", "pbrain-b"};
  record.board.Place({{7, 7}, Stone::Black, 0});
  record.board.Place({{0, 14}, Stone::White, 120});
  record.board.Place({{8, 7}, Stone::Black, 3});
  return record;
}

TEST(PsqTest, HeaderOneBasedMovesWithTimesThenNames) {
  EXPECT_EQ(FormatPsq(SmallGame()),
            "Piskvorky 15x15, 11:11, 0\r\n"
            "8,8,0\r\n"
            "1,15,120\r\n"
            "9,8,3\r\n"
            "pbrain-a\r\n"
            "pbrain-b\r\n");
}

TEST(TextBoardTest, EdgesCarryCoordinatesAndTheLastStoneIsBracketed) {
  const std::string text = RenderTextBoard(SmallGame().board);
  std::vector<std::string> lines;
  size_t at = 0;
  for (size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(text.substr(at, end - at));
  }
  ASSERT_EQ(lines.size(), 17u);  // letters, 15 rows, letters
  EXPECT_EQ(lines.front(), "    a  b  c  d  e  f  g  h  i  j  k  l  m  n  o");
  EXPECT_EQ(lines.back(), lines.front());
  EXPECT_EQ(lines[8], " 8  .  .  .  .  .  .  .  X [X] .  .  .  .  .  .   8");
  EXPECT_EQ(lines[15], "15  O  .  .  .  .  .  .  .  .  .  .  .  .  .  .  15");
  EXPECT_EQ(std::count(text.begin(), text.end(), '['), 1);
}

TEST(SvgBoardTest, DrawsEveryStoneTheLastRingAndAnEscapedCaption) {
  const std::string svg = RenderSvgBoard(SmallGame().board, "a <b> & \"c\"\nsecond line");
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
  // 15 + 15 grid lines; 3 stones plus the ring of the last one.
  EXPECT_EQ(CountOf(svg, "<line "), 30);
  EXPECT_EQ(CountOf(svg, "<circle "), 4);
  EXPECT_EQ(CountOf(svg, "fill=\"#111111\" stroke"), 2);
  EXPECT_NE(svg.find("a &lt;b&gt; &amp; &quot;c&quot;"), std::string::npos);
  EXPECT_EQ(svg.find("<b>"), std::string::npos);
  EXPECT_NE(svg.find(">second line</text>"), std::string::npos);
}

// Black h8..l8 across row 8 with the last stone in the middle, white
// below; the five is h8 to l8, the last stone j8.
GameRecord FiveInARow() {
  GameRecord record{GameBoard(15), Ending::Five, Stone::Black, {}, "x ] \\ y", "white"};
  const int32_t order[] = {7, 8, 10, 11, 9};
  for (int i = 0; i < 5; ++i) {
    record.board.Place({{order[i], 7}, Stone::Black, 10});
    if (i < 4) record.board.Place({{order[i], 8}, Stone::White, 20});
  }
  return record;
}

TEST(WinningFiveTest, MarkedOnTheTextBoardAndInTheSvg) {
  const GameRecord record = FiveInARow();
  EXPECT_EQ(record.board.FiveThrough({9, 7}),
            (std::vector<Point>{{7, 7}, {8, 7}, {9, 7}, {10, 7}, {11, 7}}));
  EXPECT_TRUE(record.board.FiveThrough({9, 8}).empty());  // white's four
  const std::string text = RenderTextBoard(record.board);
  EXPECT_NE(text.find(" 8  .  .  .  .  .  .  . (X)(X)[X](X)(X) .  .  .   8"), std::string::npos)
      << text;
  EXPECT_EQ(CountOf(text, "(O)"), 0);

  const std::string svg = RenderSvgBoard(record.board, "");
  EXPECT_EQ(CountOf(svg, "<line class=\"five\""), 1);
  EXPECT_NE(svg.find("<line class=\"five\" x1=\"264\" y1=\"264\" x2=\"392\" y2=\"264\""),
            std::string::npos);
  EXPECT_EQ(RenderSvgBoard(SmallGame().board, "").find("class=\"five\""), std::string::npos);
}

TEST(SgfTest, WritesGomokuWithNamesAndResultAndReadsBack) {
  GameRecord record = FiveInARow();
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

TEST(ResultsTest, EloFromScoreWithInterval) {
  struct Case {
    Tally tally;
    double elo, low, high;
  };
  const std::vector<Case> cases = {
      // Even: 0 with a symmetric interval.
      {{5, 5, 0, 0}, 0.0, -251.8, 251.8},
      // 75 %: -400 log10(1/3) = +190.8; se = sqrt(0.1875 / 4) = 0.2165, so the
      // score runs from 0.326 to past 1.
      {{3, 1, 0, 0}, 190.8, -126.5, INFINITY},
      // All draws: no spread.
      {{0, 0, 4, 0}, 0.0, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    const EloEstimate e = EstimateElo(c.tally);
    EXPECT_NEAR(e.difference, c.elo, 0.5);
    if (std::isinf(c.high)) {
      EXPECT_TRUE(std::isinf(e.high) && e.high > 0);
    } else {
      EXPECT_NEAR(e.high, c.high, 1.0);
    }
    EXPECT_NEAR(e.low, c.low, 1.0);
  }
  const EloEstimate sweep = EstimateElo({4, 0, 0, 0});
  EXPECT_TRUE(std::isinf(sweep.difference) && sweep.difference > 0);
}

TEST(ResultsTest, NoMinusZeroAndNotEnoughGamesUntilTheIntervalMeansSomething) {
  const auto eloLine = [](const Tally& tally) {
    const std::string table = FormatResults(tally, "a", "b");
    return table.substr(table.find("Elo"));
  };
  // One game, a sweep, all draws, one each: no finite interval with a width.
  for (const Tally& few : {Tally{1, 0, 0, 0}, Tally{0, 1, 0, 1}, Tally{6, 0, 0, 0},
                           Tally{0, 0, 4, 0}, Tally{1, 1, 0, 0}}) {
    EXPECT_EQ(eloLine(few), "Elo difference (1 - 2): not enough games\n") << few.games();
  }
  EXPECT_EQ(eloLine({3, 3, 0, 0}), "Elo difference (1 - 2): 0, 95% interval [-382, +382]\n");
  // A hair under even is still 0, never "-0".
  const std::string close = eloLine({499, 500, 0, 0});
  EXPECT_EQ(close.find("-0"), std::string::npos) << close;
  EXPECT_EQ(close.rfind("Elo difference (1 - 2): 0, 95% interval [-", 0), 0u) << close;
}

TEST(ResultsTest, TableShowsBothSidesOfTheScore) {
  const std::string table = FormatResults({3, 1, 2, 1}, "alpha", "beta");
  EXPECT_NE(table.find("1: alpha      3      1     2     4.0"), std::string::npos) << table;
  EXPECT_NE(table.find("2: beta       1      3     2     2.0"), std::string::npos) << table;
  EXPECT_NE(table.find("games 6, forfeits 1"), std::string::npos);
  EXPECT_NE(table.find("Elo difference (1 - 2): +120, 95% interval ["), std::string::npos) << table;
}

TEST(OptionsTest, ReadsEveryOption) {
  std::string error;
  const auto options = ParseOptions({"-g",         "10",           "--size",
                                     "15",         "-t",           "1000",
                                     "-m",         "60000",        "--tolerance-ms",
                                     "300",        "--max-memory", "1000000",
                                     "--start-ms", "500",          "-o",
                                     "open.txt",   "--reuse",      "-w",
                                     "--delay-ms", "20",           "--out",
                                     "dir",        "-q",           "brain a",
                                     "human"},
                                    error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->games, 10);
  EXPECT_EQ(options->settings.boardSize, 15);
  EXPECT_EQ(options->settings.turnMs, 1000);
  EXPECT_EQ(options->settings.matchMs, 60000);
  EXPECT_EQ(options->settings.toleranceMs, 300);
  EXPECT_EQ(options->settings.maxMemory, 1000000);
  EXPECT_EQ(options->settings.startMs, 500);
  EXPECT_EQ(options->openingsPath, "open.txt");
  EXPECT_TRUE(options->reuse && options->watch && options->quiet);
  EXPECT_EQ(options->delayMs, 20);
  EXPECT_EQ(options->outDir, "dir");
  EXPECT_EQ(options->players[0], "brain a");
  EXPECT_EQ(options->players[1], "human");
}

TEST(OptionsTest, RejectsBadCommandLinesWithAReason) {
  struct Case {
    std::vector<std::string> args;
    const char* errorPart;
  };
  const std::vector<Case> cases = {
      {{"a"}, "two players"},
      {{"a", "b", "c"}, "3 given"},
      {{"--size", "19", "a", "b"}, "15 or 20"},
      {{"--size", "25", "a", "b"}, "from 15 to 20"},
      {{"-g", "0", "a", "b"}, "--games takes a whole number"},
      {{"-t", "fast", "a", "b"}, "not \"fast\""},
      {{"-t", "10x", "a", "b"}, "not \"10x\""},
      {{"a", "b", "--turn-ms"}, "needs a value"},
      {{"--frobnicate", "a", "b"}, "unknown option --frobnicate"},
      {{"--serve", "a", "b", "c"}, "at most two brains, 3 given"},
      {{"--serve", "a", "human"}, "give only brains"},
      {{"--serve", "--port", "65536"}, "--port takes a whole number from 0 to 65535"},
      {{"--port", "8000", "a", "b"}, "--port and --host go with --serve"},
      {{"--host", "0.0.0.0", "a", "b"}, "--port and --host go with --serve"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseOptions(c.args, error)) << c.errorPart;
    EXPECT_NE(error.find(c.errorPart), std::string::npos) << error;
  }
  std::string error;
  const auto serve = ParseOptions({"--serve", "--port", "0", "--host", "::1"}, error);
  ASSERT_TRUE(serve) << error;
  EXPECT_TRUE(serve->serve && serve->players.empty());
  EXPECT_EQ(serve->port, 0);
  EXPECT_EQ(serve->host, "::1");
  const auto help = ParseOptions({"--help"}, error);
  ASSERT_TRUE(help);
  EXPECT_TRUE(help->help);
}

}  // namespace
}  // namespace quorvex::match

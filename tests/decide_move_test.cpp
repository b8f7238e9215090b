#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "eval/rank_candidates.h"
#include "eval/scores.h"
#include "eval/templates.h"
#include "game/position_key.h"
#include "search/threat_search.h"
#include "tests/test_support.h"

namespace quorvex {
namespace {

using test::Conversation;

std::pair<int32_t, int32_t> ParseReply(const std::string& reply) {
  const auto comma = reply.find(',');
  return {std::stoi(reply.substr(0, comma)) + 1, std::stoi(reply.substr(comma + 1)) + 1};
}

// The key of a game whose only stone is its first, normalised to (11, 11).
int64_t KeyAfterFirstStone() {
  quorvex::MoveBuffer buffer{};
  buffer[1] = MoveEntry{11, 11};
  return ComputePositionKey(buffer);
}

// Sends a BOARD listing of "x,y,owner" lines (protocol coordinates) and
// returns the reply to DONE.
std::string List(Conversation& brain, std::initializer_list<const char*> stones) {
  EXPECT_EQ(brain.Say("BOARD"), "");
  for (const char* stone : stones) EXPECT_EQ(brain.Say(stone), "") << stone;
  return brain.Ask("DONE");
}

TEST(DecideMove, PlaysAStoredContinuationWithoutSearching) {
  Conversation brain;
  brain.Ask("START 20");
  // The opponent opens at internal (6, 6): offsets +5, +5. The store knows
  // a continuation of that position at normalised (12, 13), 2 wins 1 loss.
  brain.engine().store().RecordMove(777, KeyAfterFirstStone(), 12, 13, 2, 2, 1);
  const std::string reply = brain.Ask("TURN 5,5");
  EXPECT_EQ(reply, "6,7") << "(12, 13) minus the offsets is internal (7, 8)";
  EXPECT_EQ(brain.engine().SearchNodes(), 0) << "no search ran";
  EXPECT_EQ(brain.engine().game().Board().at(7, 8), CellOwn);
  EXPECT_EQ(brain.engine().game().MoveBuffer()[2].x, 12);
  EXPECT_EQ(brain.engine().game().MoveBuffer()[2].y, 13);
  EXPECT_EQ(brain.engine().game().KeyHistory()[2], brain.engine().game().PositionKey());
  EXPECT_EQ(brain.engine().game().PrevPositionKey(), KeyAfterFirstStone());
}

TEST(DecideMove, RepliesInProtocolCoordinates) {
  Conversation brain;
  brain.Ask("START 20");
  // Internal (1, 20) after offsets +5, +5 is normalised (6, 25).
  brain.engine().store().RecordMove(777, KeyAfterFirstStone(), 6, 25, 2, 2, 1);
  EXPECT_EQ(brain.Ask("TURN 5,5"), "0,19");
}

TEST(DecideMove, NeverPlaysAContinuationOffTheBoardOrOnAStone) {
  for (const auto& [x, y] : {std::pair{-3, 11}, std::pair{11, 11}, std::pair{30, 30}}) {
    Conversation brain;
    brain.Ask("START 20");
    brain.engine().store().RecordMove(777, KeyAfterFirstStone(), x, y, 2, 5, 1);
    const auto [px, py] = ParseReply(brain.Ask("TURN 5,5"));
    EXPECT_TRUE(brain.engine().game().Board().IsPlayable(px, py)) << x << "," << y;
    EXPECT_NE(std::make_pair(px, py), std::make_pair(6, 6)) << "the opponent's stone";
    EXPECT_EQ(brain.engine().game().Board().at(px, py), CellOwn);
  }
}

TEST(DecideMove, AWeakContinuationLetsTheSearchRun) {
  Conversation brain;
  brain.Ask("START 20");
  // 3 wins 4 losses scores 0.75: playable, but not enough to skip the search.
  brain.engine().store().RecordMove(777, KeyAfterFirstStone(), 3, 19, 2, 3, 4);
  const std::string reply = brain.Ask("TURN 10,10");
  EXPECT_GT(brain.engine().SearchNodes(), 0);
  // The search's answer enters at 1 win 1 loss and outranks 0.75.
  EXPECT_NE(reply, "2,18");
  MoveRecord answer;
  EXPECT_EQ(brain.engine().store().LookupOpening(brain.engine().game().PrevPositionKey(), answer), 1);
  EXPECT_EQ(answer.score, 1);
}

TEST(DecideMove, ASearchedWinIsRecordedAndPlayed) {
  Conversation brain;
  brain.Ask("START 20");
  // The engine's open three on row 10 (internal 9..11); the opponent's
  // stones are scattered.
  const std::string reply =
      List(brain, {"8,9,1", "2,16,2", "9,9,1", "16,2,2", "10,9,1", "16,16,2"});
  const auto point = ParseReply(reply);
  EXPECT_TRUE(point == std::make_pair(8, 10) || point == std::make_pair(12, 10)) << reply;
  MoveRecord answer;
  ASSERT_EQ(brain.engine().store().LookupOpening(brain.engine().game().PrevPositionKey(), answer), 1);
  EXPECT_EQ(answer.score, 4600) << "46000 wins are stored scaled to 4600";
}

TEST(DecideMove, WhenEveryRootMoveLosesACandidateIsDrawn) {
  // Row 5: O X X X . . with the opponent's open threes on columns 6 and 7
  // (internal): either four of the engine is blocked into an open four.
  Conversation brain;
  brain.Ask("START 20");
  const std::string reply = List(brain, {"2,4,1", "1,4,2", "3,4,1", "5,5,2", "4,4,1", "5,6,2",
                                         "16,16,1", "5,7,2", "16,4,1", "6,5,2", "9,16,1", "6,6,2",
                                         "2,13,1", "6,7,2"});
  const Game& game = brain.engine().game();
  const auto point = ParseReply(reply);
  Board before = game.Board();
  before.at(point.first, point.second) = CellEmpty;

  // Precondition: the search finds every root move lost.
  TemplateTables tables;
  BuildTemplates(tables);
  CandidateRanker ranker(tables);
  const std::function<int32_t()> clock = [] { return 0; };
  ThreatSearcher searcher(ranker, clock);
  searcher.SetTimeLimit(0, 1 << 30);
  MoveList roots;
  const int32_t n = searcher.ThreatSearch(game.LastOpponentMove(), CellOpponent, before, 0, RootAlpha,
                                          RootBeta, roots, SearchDepthLimit);
  ASSERT_GE(n, 2);
  bool playedALoser = false;
  for (int32_t i = 1; i <= n; ++i) {
    ASSERT_LT(roots[i].score, -1000) << roots[i].x << "," << roots[i].y;
    ASSERT_NE(roots[i].score, TimeUpScore);
    playedALoser = playedALoser || std::make_pair(roots[i].x, roots[i].y) == point;
  }

  // The losers were stored, so the store's best is either the played point,
  // if it was no root move, at 1 win 1 loss, or nothing worth playing.
  MoveRecord answer;
  const int32_t verdict = brain.engine().store().LookupOpening(game.PrevPositionKey(), answer);
  if (playedALoser) {
    EXPECT_EQ(verdict, 0);
  } else {
    EXPECT_EQ(verdict, 1);
    EXPECT_EQ(std::make_pair(answer.x, answer.y), point) << "no offsets: the first stone was at (3,5)";
  }

  // The move is a drawn entry of the capped candidate list.
  MoveList selection;
  ranker.RankCandidates(before, selection, 1, CellOwn);
  bool listed = false;
  for (int32_t i = 1; i <= ListCount(selection); ++i)
    listed = listed || std::make_pair(selection[i].x, selection[i].y) == point;
  EXPECT_TRUE(listed) << reply << " is an entry of the candidate list";
}

TEST(DecideMove, TwoOpenFoursOfTheOpponentAreLearnedOnce) {
  Conversation brain;
  brain.Ask("START 20");
  // Two closed fours of the opponent (internal rows 3 and 8, x 4..7, the
  // engine's stone at x 3), each scored exactly 180 at x 8.
  const std::string reply =
      List(brain, {"2,2,1", "3,2,2", "2,7,1", "4,2,2", "14,14,1", "5,2,2", "16,2,1", "6,2,2",
                   "9,16,1", "3,7,2", "2,15,1", "4,7,2", "16,9,1", "5,7,2", "18,18,1", "6,7,2"});
  const Game& game = brain.engine().game();
  EXPECT_EQ(game.GameResultFlag(), 0);
  EXPECT_EQ(game.MoveCount(), 17);
  // Stone 2 was the opponent's: the winner's row gains exactly one win.
  MoveRecord answer;
  brain.engine().store().LookupOpening(game.KeyHistory()[1], answer);
  EXPECT_EQ(answer.score, 2) << "1 win + 1 learned win over 1 loss";
  // Stone 3 was the engine's: it gains a loss, 1 over 2.
  brain.engine().store().LookupOpening(game.KeyHistory()[2], answer);
  EXPECT_EQ(answer.score, 0);
  const auto [x, y] = ParseReply(reply);
  EXPECT_EQ(game.Board().at(x, y), CellOwn);
}

TEST(DecideMove, AListingWithoutStonesGetsARandomPointAndRecordsNothing) {
  Conversation brain(7);
  brain.Ask("START 20");
  const quorvex::MoveBuffer emptyBuffer{};
  const std::string reply = List(brain, {});
  const auto [x, y] = ParseReply(reply);
  const Game& game = brain.engine().game();
  EXPECT_EQ(game.Board().at(x, y), CellOwn);
  EXPECT_EQ(game.MoveCount(), 1);
  EXPECT_EQ(game.EngineMovedFirst(), 1) << "the engine's stone opens this game";
  EXPECT_EQ(game.MoveBuffer(), emptyBuffer);
  MoveRecord answer;
  answer.score = -77;
  EXPECT_EQ(brain.engine().store().LookupOpening(ComputePositionKey(emptyBuffer), answer), 0);
  EXPECT_EQ(answer.score, -77) << "no continuation of the empty position was recorded";
}

TEST(DecideMove, AFullBoardAnswersAnError) {
  Conversation brain;
  brain.Ask("START 11");
  brain.Say("BOARD");
  for (int32_t x = 0; x < 11; ++x)
    for (int32_t y = 0; y < 11; ++y)
      brain.Say(std::to_string(x) + "," + std::to_string(y) + "," + ((x + y / 2) % 2 ? "1" : "2"));
  ASSERT_EQ(brain.engine().game().MoveCount(), 121);
  const std::string reply = brain.Say("DONE");
  EXPECT_EQ(reply.rfind("ERROR ", 0), 0u) << reply;
  EXPECT_EQ(reply.find('\n'), reply.size() - 1);
  EXPECT_EQ(brain.engine().game().MoveCount(), 121);
}

}  // namespace
}  // namespace quorvex

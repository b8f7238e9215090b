#include "eval/templates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quorvex {
namespace {

class TemplatesTest : public ::testing::Test {
 protected:
  TemplatesTest() : count(BuildTemplates(tables)) {}

  const PatternTemplate& Record(int32_t number) const {
    return tables.TemplateTable.at(static_cast<std::size_t>(number));
  }
  int32_t Lookup(std::string_view pattern) const {
    return tables.TemplateLookup[static_cast<std::size_t>(PatternKey(pattern))];
  }

  TemplateTables tables;
  int32_t count;
};

TEST(PatternKey, IsBaseFourWithTheFirstLetterMostSignificant) {
  EXPECT_EQ(PatternKey("SBBBBS"), 680);
  EXPECT_EQ(PatternKey("SWWWWS"), 1020);
  EXPECT_EQ(PatternKey("NNNNNN"), 0);
  EXPECT_EQ(PatternKey("SSSSSS"), 0);  // S and N are both an empty cell
  EXPECT_EQ(PatternKey("ENNNNN"), 1024);
  EXPECT_EQ(PatternKey("NNNNNE"), 1);
  EXPECT_EQ(PatternKey("WWWWWW"), 4095);
}

TEST_F(TemplatesTest, HoldsTheListedShapesAndTheirCopies) {
  EXPECT_EQ(count, 162);
  ASSERT_EQ(tables.TemplateTable.size(), 163u);
  EXPECT_TRUE(Record(0).pattern.empty());
  EXPECT_EQ(Record(0).moveCount, 0);

  EXPECT_EQ(Record(1).pattern, "SBBBBS");
  EXPECT_EQ(Record(4).pattern, "WBBBBS");
  EXPECT_EQ(Record(81).pattern, "WBSSNN");
  EXPECT_EQ(Record(82).pattern, "SWWWWS");
  EXPECT_EQ(Record(85).pattern, "BWWWWS");

  // Records 1..81 by score class, strongest first.
  const std::map<int32_t, int32_t> expectedPerScore = {{190, 3}, {180, 21}, {70, 8}, {60, 18},
                                                       {50, 16}, {40, 10},  {30, 3}, {20, 2}};
  std::map<int32_t, int32_t> perScore;
  for (int32_t i = 1; i <= 81; ++i) {
    ++perScore[Record(i).score];
    if (i > 1) {
      EXPECT_LE(Record(i).score, Record(i - 1).score) << "record " << i;
    }
    EXPECT_EQ(Record(i).side, 2);
    EXPECT_EQ(Record(i).length, 6);
  }
  EXPECT_EQ(perScore, expectedPerScore);

  // Record 81 + i is record i with the colours exchanged.
  for (int32_t i = 1; i <= 81; ++i) {
    const PatternTemplate& own = Record(i);
    const PatternTemplate& copy = Record(81 + i);
    std::string exchanged = own.pattern;
    for (char& letter : exchanged) letter = letter == 'B' ? 'W' : letter == 'W' ? 'B' : letter;
    EXPECT_EQ(copy.pattern, exchanged) << "record " << 81 + i;
    EXPECT_EQ(copy.score, own.score);
    EXPECT_EQ(copy.length, 6);
    EXPECT_EQ(copy.side, 3);
  }
}

TEST_F(TemplatesTest, StoneCountsMatchTheScoreClasses) {
  const std::map<int32_t, int32_t> stonesPerScore = {{190, 4}, {180, 4}, {70, 3}, {60, 3},
                                                     {50, 2},  {40, 2},  {30, 1}, {20, 1}};
  for (int32_t i = 1; i <= 81; ++i) {
    const std::string& p = Record(i).pattern;
    const auto stones = static_cast<int32_t>(std::count(p.begin(), p.end(), 'B'));
    const int32_t expected = p == "BBBBSB" ? 5 : stonesPerScore.at(Record(i).score);
    EXPECT_EQ(stones, expected) << p;
  }
}

TEST_F(TemplatesTest, SbbbbsAndItsCopy) {
  const int32_t own = tables.TemplateLookup[680];
  ASSERT_NE(own, 0);
  EXPECT_EQ(Record(own).pattern, "SBBBBS");
  EXPECT_EQ(Record(own).side, 2);
  EXPECT_EQ(Record(own).score, 190);
  EXPECT_EQ(Record(own).moveCount, 2);
  EXPECT_EQ(Record(own).moveOffsets[1], 0);
  EXPECT_EQ(Record(own).moveOffsets[2], 5);

  const int32_t copy = tables.TemplateLookup[1020];
  ASSERT_NE(copy, 0);
  EXPECT_EQ(Record(copy).pattern, "SWWWWS");
  EXPECT_EQ(Record(copy).side, 3);
  EXPECT_EQ(Record(copy).score, 190);
}

TEST_F(TemplatesTest, ProposedCellsAreTheSLettersLeftmostFirst) {
  struct Case {
    const char* pattern;
    std::vector<int32_t> offsets;
  };
  const Case cases[] = {
      {"SSBBSS", {0, 1, 4, 5}}, {"SBBNWN", {0}},       {"NSBBBN", {1}}, {"BBBBSE", {4}},
      {"NWNBBS", {5}},          {"SBSBSN", {0, 2, 4}}, {"WBSSNN", {2, 3}}, {"BWSSNN", {2, 3}},
  };
  for (const Case& c : cases) {
    const int32_t t = Lookup(c.pattern);
    ASSERT_NE(t, 0) << c.pattern;
    const PatternTemplate& record = Record(t);
    EXPECT_EQ(record.pattern, c.pattern);
    ASSERT_EQ(record.moveCount, static_cast<int32_t>(c.offsets.size())) << c.pattern;
    for (std::size_t k = 0; k < c.offsets.size(); ++k) {
      EXPECT_EQ(record.moveOffsets[k + 1], c.offsets[k]) << c.pattern << " slot " << k + 1;
    }
  }
}

TEST_F(TemplatesTest, EveryKeyIsDistinctAndFindsItsRecord) {
  std::set<int32_t> keys;
  for (int32_t t = 1; t <= count; ++t) {
    const int32_t key = PatternKey(Record(t).pattern);
    EXPECT_TRUE(keys.insert(key).second) << "duplicate key of " << Record(t).pattern;
    EXPECT_EQ(tables.TemplateLookup[static_cast<std::size_t>(key)], t) << Record(t).pattern;
  }
  EXPECT_EQ(keys.size(), 162u);
  int32_t filled = 0;
  for (int32_t entry : tables.TemplateLookup) filled += entry != 0;
  EXPECT_EQ(filled, 162);
  EXPECT_EQ(tables.TemplateLookup[0], 0);  // six empty cells
}

// What lets the ranking scan any window without bounds tests: the border
// can only be a window's first or last cell, and no shape lacks a stone.
TEST_F(TemplatesTest, BorderOnlyAtTheEndsAndAlwaysAStone) {
  for (int32_t t = 1; t <= count; ++t) {
    const std::string& p = Record(t).pattern;
    ASSERT_EQ(p.size(), 6u);
    EXPECT_EQ(p.find_first_not_of("SNBWE"), std::string::npos) << p;
    EXPECT_EQ(p.substr(1, 4).find('E'), std::string::npos) << p;
    EXPECT_NE(p.find_first_of("BW"), std::string::npos) << p;
    EXPECT_GE(Record(t).moveCount, 1) << p;
    EXPECT_LE(Record(t).moveCount, 4) << p;
  }
}

TEST_F(TemplatesTest, NoTemplateHoldsFiveInARow) {
  for (int32_t t = 1; t <= count; ++t) {
    const std::string& p = Record(t).pattern;
    EXPECT_EQ(p.find("BBBBB"), std::string::npos) << p;
    EXPECT_EQ(p.find("WWWWW"), std::string::npos) << p;
  }
  for (const char* window : {"NBBBBB", "BBBBBN", "BBBBBB", "EBBBBB", "BBBBBE", "WBBBBB", "NWWWWW", "WWWWWB"}) {
    EXPECT_EQ(Lookup(window), 0) << window;
  }
}

TEST_F(TemplatesTest, UnmirroredShapesStayUnmirrored) {
  for (const char* absent : {"NNSBSN", "SBSSBB", "BSSBBS", "BSBBBB"}) EXPECT_EQ(Lookup(absent), 0) << absent;
  for (const char* present : {"NSBSNN", "BBSSBS", "SBBSSB", "BBBBSB"}) EXPECT_NE(Lookup(present), 0) << present;
}

}  // namespace
}  // namespace quorvex

#pragma once
// Pattern templates: six-letter shapes matched against every run of six
// cells along a line, and the table that finds a window's template in one
// read.
//
// Letters: S empty and proposed as a move, N empty and not proposed,
// B a stone of the engine, W a stone of the opponent, E the border ring.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

inline constexpr int32_t TemplateLookupSize = 4096;  // 4^6 window keys

struct PatternTemplate {
  std::string pattern;
  int32_t moveCount = 0;                // number of S letters
  std::array<int8_t, 6> moveOffsets{};  // slots 1..moveCount: positions of the S letters
  int32_t side = 0;                     // CellOwn for the listed shapes, CellOpponent for their copies
  int32_t score = 0;
  int32_t length = 0;
};

struct TemplateTables {
  // Numbered from 1; entry 0 stays empty.
  std::vector<PatternTemplate> TemplateTable;
  // Window key -> template number, 0 where no template has the key.
  std::array<int32_t, TemplateLookupSize> TemplateLookup{};
};

// The window key of six cell codes, first cell most significant (base 4).
int32_t PatternKey(std::string_view pattern);

// Fills both tables and returns the number of the last record (162): the
// 81 shapes of the engine as records 1..81, strongest first, and their
// colour-exchanged copies (side CellOpponent) as records 82..162 in the
// same order. Every record has a key of its own. Called once at start-up;
// the tables are read-only afterwards.
int32_t BuildTemplates(TemplateTables& tables);

}  // namespace quorvex

#include "eval/templates.h"

#include <algorithm>
#include <string>

namespace quorvex {
namespace {

struct ListedTemplate {
  const char* pattern;
  int32_t score;
};

// The engine's own shapes, strongest first. The order is the numbering of
// the records (1..81), and the copies for the opponent follow in the same
// order, so a template's number says which list entry it came from.
constexpr ListedTemplate kListedTemplates[] = {
    {"SBBBBS", 190}, {"BBBBSE", 190}, {"ESBBBB", 190},

    {"WBBBBS", 180}, {"SBBBBW", 180}, {"NBSBBB", 180}, {"NBBSBB", 180}, {"BBSBBN", 180},
    {"BBBSBN", 180}, {"BBBSBW", 180}, {"BBSBBW", 180}, {"BSBBBW", 180}, {"WBBBSB", 180},
    {"WBBSBB", 180}, {"WBSBBB", 180}, {"BBBBSB", 180}, {"EBBBBS", 180}, {"SBBBBE", 180},
    {"BBBSBE", 180}, {"BBSBBE", 180}, {"BSBBBE", 180}, {"EBBBSB", 180}, {"EBBSBB", 180},
    {"EBSBBB", 180},

    {"NSBBBN", 70}, {"NBBBSN", 70}, {"SBSBBS", 70}, {"SBBSBS", 70}, {"BSBSBN", 70},
    {"NBSBSB", 70}, {"SBBBSE", 70}, {"ESBBBS", 70},

    {"WBBBSS", 60}, {"SSBBBW", 60}, {"SBSBBW", 60}, {"SBBSBW", 60}, {"WBSBBS", 60},
    {"WBBSBS", 60}, {"WBSBSB", 60}, {"BSBSBW", 60}, {"BBSSBS", 60}, {"SBBSSB", 60},
    {"SBSBBE", 60}, {"SBBSBE", 60}, {"EBSBBS", 60}, {"EBBSBS", 60}, {"EBSBSB", 60},
    {"BSBSBE", 60}, {"EBBBSS", 60}, {"SSBBBE", 60},

    {"SSBBSS", 50}, {"SBBSSN", 50}, {"NSSBBS", 50}, {"NSBSBS", 50}, {"SBSBSN", 50},
    {"SBSBSW", 50}, {"WSBSBS", 50}, {"SBSBSE", 50}, {"ESBSBS", 50}, {"SBSSBS", 50},
    {"WNBBSS", 50}, {"SBBNWN", 50}, {"WNSBBS", 50}, {"SSBBNW", 50}, {"NWNBBS", 50},
    {"SBBSNW", 50},

    {"WBBSSN", 40}, {"NSSBBW", 40}, {"WBSBSN", 40}, {"NSBSBW", 40}, {"EBBSSN", 40},
    {"NSSBBE", 40}, {"EBSBSN", 40}, {"NSBSBE", 40}, {"SBSSBW", 40}, {"WBSSBS", 40},

    {"NSBSNN", 30}, {"WSBSNN", 30}, {"NNSBSW", 30},

    {"NNSSBW", 20}, {"WBSSNN", 20},
};

constexpr int32_t kListedCount = static_cast<int32_t>(std::size(kListedTemplates));

int32_t LetterCode(char letter) {
  switch (letter) {
    case 'E': return 1;
    case 'B': return 2;
    case 'W': return 3;
    default: return 0;  // S and N both stand for an empty cell
  }
}

void ReplaceAll(std::string& text, char from, char to) { std::replace(text.begin(), text.end(), from, to); }

}  // namespace

int32_t PatternKey(std::string_view pattern) {
  int32_t key = 0;
  for (char letter : pattern) key = key * 4 + LetterCode(letter);
  return key;
}

int32_t BuildTemplates(TemplateTables& tables) {
  auto& table = tables.TemplateTable;

  // Steps 1-3: the listed shapes as records 1..81, side CellOwn.
  int32_t templateCount = kListedCount;
  table.assign(static_cast<std::size_t>(templateCount) + 1, PatternTemplate{});
  for (int32_t i = 1; i <= kListedCount; ++i) {
    PatternTemplate& record = table[static_cast<std::size_t>(i)];
    record.pattern = kListedTemplates[i - 1].pattern;
    record.score = kListedTemplates[i - 1].score;
    record.length = static_cast<int32_t>(record.pattern.size());
    record.side = 2;
  }

  // Step 4: the opponent's copy of record i becomes record 81 + i. The
  // exchange goes through a spare letter so that B and W swap, not merge.
  for (int32_t i = 1; i <= kListedCount; ++i) {
    PatternTemplate copy;
    copy.pattern = table[static_cast<std::size_t>(i)].pattern;
    ReplaceAll(copy.pattern, 'B', 'T');
    ReplaceAll(copy.pattern, 'W', 'B');
    ReplaceAll(copy.pattern, 'T', 'W');
    copy.score = table[static_cast<std::size_t>(i)].score;
    copy.length = table[static_cast<std::size_t>(i)].length;
    copy.side = 3;
    table.push_back(std::move(copy));
    ++templateCount;
  }

  // Step 5: the proposed cells, leftmost first, in slots 1..moveCount.
  for (int32_t t = 1; t <= templateCount; ++t) {
    PatternTemplate& record = table[static_cast<std::size_t>(t)];
    record.moveCount = 0;
    for (std::size_t pos = 0; pos < record.pattern.size(); ++pos) {
      if (record.pattern[pos] != 'S') continue;
      ++record.moveCount;
      record.moveOffsets[static_cast<std::size_t>(record.moveCount)] = static_cast<int8_t>(pos);
    }
  }

  // Step 6: one table read finds a window's template.
  tables.TemplateLookup.fill(0);
  for (int32_t t = 1; t <= templateCount; ++t) {
    tables.TemplateLookup[static_cast<std::size_t>(PatternKey(table[static_cast<std::size_t>(t)].pattern))] = t;
  }

  return templateCount;
}

}  // namespace quorvex

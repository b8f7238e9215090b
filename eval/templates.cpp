#include "eval/templates.h"

namespace quorvex {

int32_t PatternKey(std::string_view) { return 0; }  // placeholder until the template table lands

int32_t BuildTemplates(TemplateTables& tables) {
  tables.TemplateTable.assign(1, PatternTemplate{});
  return 0;
}

}  // namespace quorvex

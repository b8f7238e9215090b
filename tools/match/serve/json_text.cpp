#include "tools/match/serve/json_text.h"

#include <nlohmann/json.hpp>

namespace quorvex::match {

void to_json(nlohmann::ordered_json& json, const Point& point) { json = {point.x, point.y}; }

void to_json(nlohmann::ordered_json& json, const PlayedMove& move) {
  json = {move.point.x, move.point.y, move.colour == Stone::Black ? 1 : 2, move.ms};
}

}  // namespace quorvex::match

namespace quorvex::match::serve {

std::string JsonText(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string JsonError(std::string_view message) { return JsonText(Json{{"error", message}}); }

}  // namespace quorvex::match::serve

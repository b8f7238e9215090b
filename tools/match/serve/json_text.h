#pragma once
// The JSON the page is sent, written with nlohmann's json: the server only
// ever writes JSON (requests come as form fields). This header needs only
// the library's declarations; a file that builds JSON includes
// <nlohmann/json.hpp> itself.
//
// Json keeps an object's keys in the order they were added, so an answer
// reads as the code lists them. JsonText writes it compact, on one line;
// UTF-8 stays as it is, and a byte that is not part of UTF-8 (a form field,
// a file name) becomes U+FFFD, as the page would read it anyway.

#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "tools/gomocup/referee/game_board.h"

namespace quorvex::match {

// A point as [x, y].
void to_json(nlohmann::ordered_json& json, const Point& point);
// A move as [x, y, c, ms]: c 1 for black, 2 for white; ms the time it took.
void to_json(nlohmann::ordered_json& json, const PlayedMove& move);

}  // namespace quorvex::match

namespace quorvex::match::serve {

using Json = nlohmann::ordered_json;

std::string JsonText(const Json& json);

// {"error": message}: the body of every refused request.
std::string JsonError(std::string_view message);

}  // namespace quorvex::match::serve

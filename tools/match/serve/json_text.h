#pragma once
// JSON text built by hand for the page: the server only ever writes JSON
// (requests come as form fields), so a writer is all it needs.
//
// JsonObject collects "key": value pairs in the order added; keys are the
// caller's literals and are not escaped. Strings are escaped for JSON
// (quotes, backslashes, control characters); other bytes pass as they are,
// so UTF-8 stays UTF-8.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/match/game_board.h"

namespace quorvex::match::serve {

std::string JsonString(std::string_view text);  // quoted and escaped

class JsonObject {
 public:
  JsonObject& Add(std::string_view key, std::string_view text);
  JsonObject& AddNumber(std::string_view key, int64_t number);
  JsonObject& AddBool(std::string_view key, bool flag);
  // `json` must already be JSON text (an object, an array).
  JsonObject& AddRaw(std::string_view key, std::string_view json);
  std::string str() const { return text_ + "}"; }

 private:
  void Key(std::string_view key);
  std::string text_ = "{";
};

// "[a,b,...]" from elements that are already JSON text.
std::string JsonArray(const std::vector<std::string>& elements);

// [[x, y, c, ms], ...] with c 1 for black and 2 for white, and the time
// the move took: the page's moves.
std::string JsonMoves(const std::vector<PlayedMove>& moves);

// [[x, y], ...].
std::string JsonPoints(const std::vector<Point>& points);

// {"error": message}: the body of every refused request.
std::string JsonError(std::string_view message);

}  // namespace quorvex::match::serve

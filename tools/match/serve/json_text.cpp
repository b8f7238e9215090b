#include "tools/match/serve/json_text.h"

#include <cstdio>

namespace quorvex::match::serve {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

void JsonObject::Key(std::string_view key) {
  if (text_.size() > 1) text_ += ',';
  text_ += '"';
  text_ += key;
  text_ += "\":";
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view text) {
  Key(key);
  text_ += JsonString(text);
  return *this;
}

JsonObject& JsonObject::AddNumber(std::string_view key, int64_t number) {
  Key(key);
  text_ += std::to_string(number);
  return *this;
}

JsonObject& JsonObject::AddBool(std::string_view key, bool flag) {
  Key(key);
  text_ += flag ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::AddRaw(std::string_view key, std::string_view json) {
  Key(key);
  text_ += json;
  return *this;
}

std::string JsonArray(const std::vector<std::string>& elements) {
  std::string out = "[";
  for (size_t i = 0; i < elements.size(); ++i) {
    if (i > 0) out += ',';
    out += elements[i];
  }
  return out + "]";
}

std::string JsonMoves(const std::vector<PlayedMove>& moves) {
  std::string out = "[";
  for (const PlayedMove& move : moves) {
    if (out.size() > 1) out += ',';
    out += '[';
    out += std::to_string(move.point.x);
    out += ',';
    out += std::to_string(move.point.y);
    out += move.colour == Stone::Black ? ",1," : ",2,";
    out += std::to_string(move.ms);
    out += ']';
  }
  return out + "]";
}

std::string JsonPoints(const std::vector<Point>& points) {
  std::string out = "[";
  for (const Point& p : points) {
    if (out.size() > 1) out += ',';
    out += '[' + std::to_string(p.x) + ',' + std::to_string(p.y) + ']';
  }
  return out + "]";
}

std::string JsonError(std::string_view message) { return JsonObject().Add("error", message).str(); }

}  // namespace quorvex::match::serve

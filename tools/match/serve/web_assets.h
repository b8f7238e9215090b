#pragma once
// The page's files (tools/match/web: HTML, CSS, JavaScript), compiled into
// the program at build time so the server needs no file beside it and the
// page fetches nothing from anywhere else.

#include <span>
#include <string_view>

namespace quorvex::match::serve {

struct WebAsset {
  std::string_view name;  // the file name, like "app.js"
  std::string_view body;
};

// Every file, in name order. Defined in a file the build generates.
std::span<const WebAsset> WebAssets();

}  // namespace quorvex::match::serve

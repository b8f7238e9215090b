#pragma once
// Text a brain wrote, made safe to show: in the terminal, in the log, on
// the page, in a PSQ record and in an SVG picture. A brain is a program we
// do not trust; a control byte of its output must never reach a terminal
// (ESC [ ... moves the cursor, ESC ] 0; ... retitles the window) nor an XML
// file (which it would make invalid).
//
// Valid UTF-8 stays as it is, except C0 controls other than tab, DEL, C1
// controls (U+0080..U+009F, which some terminals obey) and U+FFFE, U+FFFF
// (not allowed in XML). Those, and every byte that is not part of valid
// UTF-8, become the four characters "\xNN" (lower-case hex), one per byte.
// The result is valid UTF-8 and XML 1.0 character data (bar & < > ", which
// the SVG writer escapes), and holds no line break.

#include <string>
#include <string_view>

namespace quorvex::match {

std::string PrintableText(std::string_view raw);

}  // namespace quorvex::match

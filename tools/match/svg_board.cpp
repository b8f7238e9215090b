#include "tools/match/svg_board.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "tools/gomocup/referee/printable_text.h"

namespace quorvex::match {

namespace {

constexpr int kCell = 32;
constexpr int kMargin = 40;
constexpr int kCaptionLine = 20;

std::string EscapeXml(const std::string& raw) {
  std::string out;
  for (const char c : PrintableText(raw)) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

int Coord(int32_t index) { return kMargin + index * kCell; }

}  // namespace

std::string RenderSvgBoard(const GameBoard& board, const std::string& caption) {
  const int32_t n = board.size();
  const int width = 2 * kMargin + (n - 1) * kCell;
  std::vector<std::string> captionLines;
  for (size_t at = 0; at <= caption.size();) {
    const size_t end = std::min(caption.find('\n', at), caption.size());
    captionLines.push_back(caption.substr(at, end - at));
    at = end + 1;
  }
  const int height = width + kCaptionLine * static_cast<int>(captionLines.size()) + 8;
  std::ostringstream svg;
  svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
      << "\" viewBox=\"0 0 " << width << " " << height << "\" font-family=\"sans-serif\">\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"#e2b866\"/>\n";

  // 1. Grid and edge labels.
  svg << "<g stroke=\"#3a2a10\" stroke-width=\"1\">\n";
  for (int32_t i = 0; i < n; ++i) {
    svg << "<line x1=\"" << Coord(0) << "\" y1=\"" << Coord(i) << "\" x2=\"" << Coord(n - 1)
        << "\" y2=\"" << Coord(i) << "\"/>\n";
    svg << "<line x1=\"" << Coord(i) << "\" y1=\"" << Coord(0) << "\" x2=\"" << Coord(i)
        << "\" y2=\"" << Coord(n - 1) << "\"/>\n";
  }
  svg << "</g>\n<g font-size=\"13\" fill=\"#3a2a10\" text-anchor=\"middle\">\n";
  for (int32_t i = 0; i < n; ++i) {
    const char letter = static_cast<char>('a' + i);
    svg << "<text x=\"" << Coord(i) << "\" y=\"" << kMargin - 18 << "\">" << letter << "</text>"
        << "<text x=\"" << Coord(i) << "\" y=\"" << Coord(n - 1) + 28 << "\">" << letter
        << "</text>\n";
    svg << "<text x=\"" << kMargin - 24 << "\" y=\"" << Coord(i) + 4 << "\">" << i + 1 << "</text>"
        << "<text x=\"" << Coord(n - 1) + 24 << "\" y=\"" << Coord(i) + 4 << "\">" << i + 1
        << "</text>\n";
  }
  svg << "</g>\n";

  // 2. Stones; the winning row, a line from its first stone to its last;
  //    the numbers, in the order played, above the line.
  const auto& moves = board.moves();
  for (const PlayedMove& move : moves) {
    svg << "<circle cx=\"" << Coord(move.point.x) << "\" cy=\"" << Coord(move.point.y)
        << "\" r=\"" << kCell / 2 - 2 << "\" fill=\""
        << (move.colour == Stone::Black ? "#111111" : "#f8f8f8")
        << "\" stroke=\"#111111\" stroke-width=\"1\"/>\n";
  }
  const std::vector<Point> five =
      moves.empty() ? std::vector<Point>() : board.FiveThrough(moves.back().point);
  if (!five.empty()) {
    svg << "<line class=\"five\" x1=\"" << Coord(five.front().x) << "\" y1=\""
        << Coord(five.front().y) << "\" x2=\"" << Coord(five.back().x) << "\" y2=\""
        << Coord(five.back().y) << "\" stroke=\"#d01010\" stroke-width=\"5\""
        << " stroke-linecap=\"round\" stroke-opacity=\"0.7\"/>\n";
  }
  for (size_t i = 0; i < moves.size(); ++i) {
    svg << "<text x=\"" << Coord(moves[i].point.x) << "\" y=\"" << Coord(moves[i].point.y) + 4
        << "\" font-size=\"11\" text-anchor=\"middle\" fill=\""
        << (moves[i].colour == Stone::Black ? "#f8f8f8" : "#111111") << "\">" << i + 1
        << "</text>\n";
  }

  // 3. The last stone, ringed.
  if (!moves.empty()) {
    svg << "<circle cx=\"" << Coord(moves.back().point.x) << "\" cy=\""
        << Coord(moves.back().point.y) << "\" r=\"" << kCell / 2 << "\" fill=\"none\""
        << " stroke=\"#d01010\" stroke-width=\"3\"/>\n";
  }

  // 4. Caption, a text element per line.
  for (size_t i = 0; i < captionLines.size(); ++i) {
    svg << "<text x=\"" << width / 2 << "\" y=\"" << width + 10 + kCaptionLine * static_cast<int>(i)
        << "\" font-size=\"13\" text-anchor=\"middle\" fill=\"#111111\">"
        << EscapeXml(captionLines[i]) << "</text>\n";
  }
  svg << "</svg>\n";
  return svg.str();
}

}  // namespace quorvex::match

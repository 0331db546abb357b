#include "vexa/http/QLResponseHeadParser.h"

#include <charconv>

namespace vexa {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) {
    s.remove_suffix(1);
  }
  return s;
}

// "HTTP/1.1 200 OK" and "HTTP/2 200" -> 200; 0 when unreadable.
long statusOf(std::string_view line) {
  size_t space = line.find(' ');
  if (space == std::string_view::npos) return 0;
  std::string_view rest = trim(line.substr(space + 1));
  long code = 0;
  auto [end, ec] = std::from_chars(rest.data(), rest.data() + std::min<size_t>(rest.size(), 3), code);
  if (ec != std::errc() || end != rest.data() + std::min<size_t>(rest.size(), 3) || code < 100 ||
      code > 999) {
    return 0;
  }
  return code;
}

}  // namespace

void QLResponseHeadParser::reset() {
  statusCode_ = 0;
  headers_.clear();
}

QLResponseHeadParser::Line QLResponseHeadParser::feed(std::string_view line) {
  if (line.substr(0, 5) == "HTTP/") {
    reset();
    statusCode_ = statusOf(trim(line));
    return Line::StatusLine;
  }
  std::string_view content = trim(line);
  if (content.empty()) return Line::EndOfHead;
  if ((line.front() == ' ' || line.front() == '\t') && !headers_.empty()) {
    std::string& value = headers_.back().second;
    value += ' ';
    value += content;
    return Line::Header;
  }
  size_t colon = content.find(':');
  if (colon == std::string_view::npos || colon == 0) return Line::Ignored;
  headers_.emplace_back(std::string(trim(content.substr(0, colon))),
                        std::string(trim(content.substr(colon + 1))));
  return Line::Header;
}

}  // namespace vexa

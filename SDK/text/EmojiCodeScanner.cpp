#include "vexa/text/EmojiCodeScanner.h"

#include <cstring>

namespace vexa {

std::optional<EmojiCodeMatch> EmojiCodeScanner::next() {
  const char* base = text_.data();
  const char* end = base + text_.size();
  while (position_ < text_.size()) {
    const char* from = base + position_;
    auto* open = static_cast<const char*>(std::memchr(from, '[', end - from));
    if (open == nullptr) break;
    auto* close = static_cast<const char*>(std::memchr(open + 1, ']', end - open - 1));
    if (close == nullptr) break;
    // Only the last opening bracket before the first closing one can start a
    // match: every earlier one meets another opening bracket first.
    auto* start = static_cast<const char*>(::memrchr(open, '[', close - open));
    position_ = static_cast<size_t>(close + 1 - base);
    if (close - start > 1) {
      return EmojiCodeMatch{static_cast<size_t>(start - base), static_cast<size_t>(close - start + 1)};
    }
  }
  position_ = text_.size();
  return std::nullopt;
}

std::vector<EmojiCodeMatch> EmojiCodeScanner::findAll(std::string_view text) {
  std::vector<EmojiCodeMatch> matches;
  EmojiCodeScanner scanner(text);
  while (auto m = scanner.next()) matches.push_back(*m);
  return matches;
}

}  // namespace vexa

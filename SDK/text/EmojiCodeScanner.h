// Finds emoji codes in chat text.
//
// A code stands in text as an opening bracket, one or more characters none of
// which is a bracket, and a closing bracket. Matches are found left to right
// and never overlap; they are exactly those of the regular expression
// \[([^\[\]]+)\] with its first group as the code. The scan is one linear
// pass over the UTF-8 bytes: brackets are ASCII and never occur inside a
// multi-byte sequence, so every boundary it reports falls between characters.
//
// Stateless apart from the scanner's position; safe on any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace vexa {

// Byte offsets into the scanned text.
struct EmojiCodeMatch {
  size_t location = 0;  // the opening bracket
  size_t length = 0;    // brackets included, so always 3 or more

  size_t end() const { return location + length; }
  size_t codeLocation() const { return location + 1; }
  size_t codeLength() const { return length - 2; }
  // The bracketed text and the code inside it, as views into `text`.
  std::string_view whole(std::string_view text) const { return text.substr(location, length); }
  std::string_view code(std::string_view text) const {
    return text.substr(codeLocation(), codeLength());
  }

  bool operator==(const EmojiCodeMatch&) const = default;
};

class EmojiCodeScanner {
 public:
  // The text must outlive the scanner.
  explicit EmojiCodeScanner(std::string_view text) : text_(text) {}

  // The next match after the previous one, or none at the end.
  std::optional<EmojiCodeMatch> next();

  static std::vector<EmojiCodeMatch> findAll(std::string_view text);

 private:
  std::string_view text_;
  size_t position_ = 0;
};

}  // namespace vexa

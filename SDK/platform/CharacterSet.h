// A set of Unicode code points, for tests such as "holds any of these
// characters" and for trimming. Immutable; safe to share between threads.
#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <unordered_set>

namespace vexa {

class CharacterSet {
 public:
  // Every code point that occurs in the UTF-8 text (invalid bytes add none).
  static CharacterSet fromString(std::string_view utf8);
  // White space and line breaks: the separators (Z*), U+0009...U+000D and U+0085.
  static CharacterSet whitespaceAndNewlines();

  bool contains(char32_t codePoint) const { return test_(codePoint); }
  // True when the text holds at least one code point of the set.
  bool intersects(std::string_view utf8) const;

  // The text without the set's code points at both ends.
  std::string_view trim(std::string_view utf8) const;

 private:
  explicit CharacterSet(std::function<bool(char32_t)> test) : test_(std::move(test)) {}
  std::function<bool(char32_t)> test_;
};

}  // namespace vexa

// Unicode emoji helpers over the emoji tables (QLEmojiTables): the groups,
// all emoji joined, all emoji one visible symbol at a time, and tests of a
// text for emoji characters. Tables are built once; safe on any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/CharacterSet.h"

namespace vexa {

class QLEmotionEmoji {
 public:
  // The group's emoji, or none for a name that is not one of the five.
  static std::optional<std::string_view> ql_allEmojiByGroup(std::optional<std::string_view> name);
  // The five groups joined in the order people, nature, object, places, symbols.
  static const std::string& ql_allEmoji();
  // ql_allEmoji split into grapheme clusters, one element per visible emoji.
  static const std::vector<std::string>& ql_allEmojiArray();

  // True when the text holds a code point of the set; false without a set.
  static bool ql_containsCharacterSet(std::string_view text, const CharacterSet* set);
  // True when the text holds any code point that occurs in ql_allEmoji. Every
  // such code point counts, so the digits, '#', '*' and U+FE0F of the keycap
  // sequences do too.
  static bool ql_containsEmoji(std::string_view text);

  // Splits UTF-8 text into extended grapheme clusters (invalid bytes stand
  // alone).
  static std::vector<std::string> graphemeClusters(std::string_view text);
};

}  // namespace vexa

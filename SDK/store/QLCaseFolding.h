// Caseless comparison of texts for the keyword search: Unicode case folding
// after canonical composition, so "Straße" matches "STRASSE" and a
// decomposed "é" matches a composed one. Plain ASCII is compared without
// building folded copies, since most keywords and emoji names are ASCII or
// short CJK texts. Stateless; safe on any thread.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

class QLCaseFolding {
 public:
  // The folded form of `text`; text that is not well-formed UTF-8 comes back
  // unchanged (it then only matches itself byte for byte).
  static std::string fold(std::string_view text);
  // Whether `text` folds to `folded` (a result of fold()).
  static bool matchesFolded(std::string_view folded, std::string_view text);
  // Whether the texts are equal ignoring case.
  static bool equalIgnoringCase(std::string_view a, std::string_view b);

 private:
  static bool isAscii(std::string_view text);
};

}  // namespace vexa

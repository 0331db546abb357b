// Character references of HTML text ("&amp;", "&#20320;", "&#x1F600;"):
// the 252 names of HTML 4 plus "apos", and the
// numeric rules of HTML 5 (NUL, surrogates and values past U+10FFFF become
// U+FFFD; 0x80 to 0x9F are read as Windows-1252, as browsers do).
// Stateless; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

class HTMLCharacterReference {
 public:
  // The character a name (without "&" and ";") stands for.
  static std::optional<char32_t> named(std::string_view name);
  // The character a numeric reference yields; values past U+10FFFF may be
  // passed saturated.
  static char32_t numeric(uint64_t value);
  // Appends `c` to `out` as UTF-8 (U+FFFD for what is no scalar value).
  static void appendUTF8(std::string& out, char32_t c);
};

}  // namespace vexa

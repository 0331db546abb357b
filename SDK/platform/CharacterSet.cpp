#include "vexa/platform/CharacterSet.h"

#include <utf8proc.h>

namespace vexa {
namespace {

// Decodes the code point at `i`; invalid bytes count as one byte of no
// character (-1).
utf8proc_int32_t decodeAt(std::string_view s, size_t i, size_t& length) {
  utf8proc_int32_t cp = -1;
  auto n = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(s.data() + i),
                            static_cast<utf8proc_ssize_t>(s.size() - i), &cp);
  if (n <= 0) {
    length = 1;
    return -1;
  }
  length = static_cast<size_t>(n);
  return cp;
}

}  // namespace

CharacterSet CharacterSet::fromString(std::string_view utf8) {
  auto points = std::make_shared<std::unordered_set<char32_t>>();
  for (size_t i = 0, n = 0; i < utf8.size(); i += n) {
    auto cp = decodeAt(utf8, i, n);
    if (cp >= 0) points->insert(static_cast<char32_t>(cp));
  }
  return CharacterSet([points](char32_t c) { return points->count(c) != 0; });
}

CharacterSet CharacterSet::whitespaceAndNewlines() {
  return CharacterSet([](char32_t c) {
    if ((c >= 0x09 && c <= 0x0D) || c == 0x85) return true;
    if (c > 0x10FFFF) return false;
    auto category = utf8proc_category(static_cast<utf8proc_int32_t>(c));
    return category == UTF8PROC_CATEGORY_ZS || category == UTF8PROC_CATEGORY_ZL ||
           category == UTF8PROC_CATEGORY_ZP;
  });
}

bool CharacterSet::intersects(std::string_view utf8) const {
  for (size_t i = 0, n = 0; i < utf8.size(); i += n) {
    auto cp = decodeAt(utf8, i, n);
    if (cp >= 0 && contains(static_cast<char32_t>(cp))) return true;
  }
  return false;
}

std::string_view CharacterSet::trim(std::string_view utf8) const {
  size_t begin = 0;
  while (begin < utf8.size()) {
    size_t n = 0;
    auto cp = decodeAt(utf8, begin, n);
    if (cp < 0 || !contains(static_cast<char32_t>(cp))) break;
    begin += n;
  }
  // Walk forward, remembering where the last kept code point ends, so that a
  // multi-byte character is never cut.
  size_t end = begin;
  for (size_t i = begin, n = 0; i < utf8.size(); i += n) {
    auto cp = decodeAt(utf8, i, n);
    if (cp < 0 || !contains(static_cast<char32_t>(cp))) end = i + n;
  }
  return utf8.substr(begin, end - begin);
}

}  // namespace vexa

#include "store/QLCaseFolding.h"

#include <utf8proc.h>

#include <cstdlib>
#include <memory>

namespace vexa {
namespace {

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool QLCaseFolding::isAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

std::string QLCaseFolding::fold(std::string_view text) {
  if (isAscii(text)) {
    std::string out(text);
    for (char& c : out) c = asciiLower(c);
    return out;
  }
  utf8proc_uint8_t* mapped = nullptr;
  auto length = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                             static_cast<utf8proc_ssize_t>(text.size()), &mapped,
                             static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE |
                                                            UTF8PROC_CASEFOLD));
  std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owned(mapped, &std::free);
  if (length < 0 || !mapped) return std::string(text);
  return std::string(reinterpret_cast<const char*>(mapped), static_cast<size_t>(length));
}

bool QLCaseFolding::matchesFolded(std::string_view folded, std::string_view text) {
  if (isAscii(text)) {
    // An ASCII text folds to ASCII of the same length.
    if (text.size() != folded.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
      if (asciiLower(text[i]) != folded[i]) return false;
    }
    return true;
  }
  return fold(text) == folded;
}

bool QLCaseFolding::equalIgnoringCase(std::string_view a, std::string_view b) {
  return matchesFolded(fold(a), b);
}

}  // namespace vexa

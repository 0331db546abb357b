// UTF-8 checks shared by the codecs and the HTTP layer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexa {

class Utf8 {
 public:
  // True when the bytes are well-formed UTF-8 (no overlong forms, no
  // surrogates, nothing above U+10FFFF).
  static bool isValid(std::string_view bytes);
  // Length of the well-formed sequence starting at bytes[i], or 0 when the
  // byte there does not start one.
  static size_t sequenceLength(std::string_view bytes, size_t i);
  // Appends the code point's encoding (the caller keeps it at most U+10FFFF).
  static void append(std::string& out, char32_t cp);
};

}  // namespace vexa

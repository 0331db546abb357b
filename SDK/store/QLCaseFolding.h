// Caseless comparison of texts for the keyword search: Unicode case folding
// with canonical equivalence, so "Straße" matches "STRASSE" and a
// decomposed "é" matches a composed one. A keyword is prepared once as a
// Key and then compared with many texts: plain ASCII, and text whose every
// character is caseless and takes no part in normalization (most CJK
// names), is compared in place; other short texts are folded into a buffer
// on the stack. Stateless; safe on any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

class QLCaseFolding {
 public:
  // A text prepared for comparisons.
  class Key {
   public:
    // The folded text (canonically composed); text that is not well-formed
    // UTF-8 stays as it is and only matches itself byte for byte.
    const std::string& folded() const { return folded_; }

   private:
    friend class QLCaseFolding;
    std::string folded_;
    std::vector<int32_t> decomposed_;  // folded and canonically decomposed
    bool wellFormed_ = true;
  };

  static Key key(std::string_view text);
  // Whether `text` equals the key's text ignoring case.
  static bool matches(const Key& key, std::string_view text);
  // The folded form of `text`, as Key::folded().
  static std::string fold(std::string_view text);
  static bool equalIgnoringCase(std::string_view a, std::string_view b);

 private:
  // Longest decomposition folded on the stack; longer texts are folded on
  // the heap.
  static constexpr size_t kStackCodePoints = 64;

  static bool isAscii(std::string_view text);
  // True when folding leaves the text as it is (well-formed UTF-8 only).
  static bool foldsToItself(std::string_view text);
  // The folded, decomposed code points into `out`; their count, or a
  // negative value when the text is not UTF-8. A count above `capacity`
  // means `out` was too small.
  static long decompose(std::string_view text, int32_t* out, size_t capacity);
};

}  // namespace vexa

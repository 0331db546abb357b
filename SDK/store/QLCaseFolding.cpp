#include "vexa/store/QLCaseFolding.h"

#include <utf8proc.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace vexa {
namespace {

constexpr auto kFoldOptions =
    static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE | UTF8PROC_CASEFOLD);
constexpr auto kDecomposeOptions =
    static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_DECOMPOSE | UTF8PROC_CASEFOLD);

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isHangulJamo(utf8proc_int32_t cp) {
  return (cp >= 0x1100 && cp <= 0x11FF) || (cp >= 0xA960 && cp <= 0xA97F) ||
         (cp >= 0xD7B0 && cp <= 0xD7FF);
}

// A code point that neither folds, decomposes, nor takes part in a
// composition stays as it is whatever surrounds it.
bool isInert(utf8proc_int32_t cp) {
  if (isHangulJamo(cp)) return false;
  const utf8proc_property_t* p = utf8proc_get_property(cp);
  return p->casefold_seqindex == UINT16_MAX && p->decomp_seqindex == UINT16_MAX &&
         p->combining_class == 0 && p->comb_index == UINT16_MAX;
}

}  // namespace

bool QLCaseFolding::isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool QLCaseFolding::foldsToItself(std::string_view text) {
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  for (size_t i = 0; i < text.size();) {
    utf8proc_int32_t cp = -1;
    auto n = utf8proc_iterate(bytes + i, static_cast<utf8proc_ssize_t>(text.size() - i), &cp);
    if (n <= 0 || !isInert(cp)) return false;
    i += static_cast<size_t>(n);
  }
  return true;
}

long QLCaseFolding::decompose(std::string_view text, int32_t* out, size_t capacity) {
  static_assert(sizeof(int32_t) == sizeof(utf8proc_int32_t));
  return utf8proc_decompose(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                            static_cast<utf8proc_ssize_t>(text.size()), out,
                            static_cast<utf8proc_ssize_t>(capacity), kDecomposeOptions);
}

std::string QLCaseFolding::fold(std::string_view text) {
  if (isAscii(text)) {
    std::string out(text);
    for (char& c : out) c = asciiLower(c);
    return out;
  }
  if (foldsToItself(text)) return std::string(text);
  utf8proc_uint8_t* mapped = nullptr;
  auto length = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                             static_cast<utf8proc_ssize_t>(text.size()), &mapped, kFoldOptions);
  std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owned(mapped, &std::free);
  if (length < 0 || !mapped) return std::string(text);
  return std::string(reinterpret_cast<const char*>(mapped), static_cast<size_t>(length));
}

QLCaseFolding::Key QLCaseFolding::key(std::string_view text) {
  Key key;
  key.folded_ = fold(text);
  long needed = decompose(text, nullptr, 0);
  if (needed < 0) {
    key.wellFormed_ = false;
    return key;
  }
  key.decomposed_.resize(static_cast<size_t>(needed));
  long written = decompose(text, key.decomposed_.data(), key.decomposed_.size());
  key.decomposed_.resize(static_cast<size_t>(std::max(written, 0L)));
  return key;
}

bool QLCaseFolding::matches(const Key& key, std::string_view text) {
  if (!key.wellFormed_) return text == key.folded_;
  if (isAscii(text)) {
    // An ASCII text folds to ASCII of the same length.
    if (text.size() != key.folded_.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
      if (asciiLower(text[i]) != key.folded_[i]) return false;
    }
    return true;
  }
  // Most names in CJK scripts have no case: no folded copy is needed.
  if (foldsToItself(text)) return text == key.folded_;
  // Canonically equivalent texts have the same decomposition.
  int32_t buffer[kStackCodePoints];
  long length = decompose(text, buffer, kStackCodePoints);
  if (length < 0) return text == key.folded_;
  if (static_cast<size_t>(length) <= kStackCodePoints) {
    return std::equal(buffer, buffer + length, key.decomposed_.begin(), key.decomposed_.end());
  }
  return fold(text) == key.folded_;
}

bool QLCaseFolding::equalIgnoringCase(std::string_view a, std::string_view b) {
  return matches(key(a), b);
}

}  // namespace vexa

// Keyword matching over texts from the service: any bytes fold without
// failing, a text matches itself and its folded form, and the comparison
// is symmetric.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vexa/store/QLCaseFolding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using vexa::QLCaseFolding;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t cut = input.find('\0');
  std::string_view a = input.substr(0, cut);
  std::string_view b = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);
  if (!QLCaseFolding::matches(QLCaseFolding::key(a), a)) std::abort();
  // The folded form stands for the text.
  if (!QLCaseFolding::equalIgnoringCase(QLCaseFolding::fold(a), a)) std::abort();
  if (QLCaseFolding::equalIgnoringCase(a, b) != QLCaseFolding::equalIgnoringCase(b, a)) std::abort();
  return 0;
}

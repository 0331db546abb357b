// The string-table parser over arbitrary bytes: it must answer, and a table
// it accepts must hold only what the text gave it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "vexa/platform/StringsTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto result = vexa::StringsTable::parse(std::string_view(reinterpret_cast<const char*>(data), size));
  if (result.ok()) {
    size_t total = 0;
    for (const auto& [key, value] : *result) total += key.size() + value.size();
    (void)total;
  }
  return 0;
}

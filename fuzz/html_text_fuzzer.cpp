// Pages come from whatever host the page view is pointed at: any bytes must
// give valid UTF-8 text, links inside their blocks and the stated bounds.
#include <glib.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vexa/platform/ui/HTMLTextExtractor.h"

namespace {

void check(const vexa::HTMLText& page) {
  using vexa::HTMLTextExtractor;
  auto valid = [](const std::string& s) {
    return g_utf8_validate(s.data(), static_cast<gssize>(s.size()), nullptr);
  };
  if (!valid(page.title) || page.title.size() > 1024) std::abort();
  if (page.blocks.size() > HTMLTextExtractor::kMaximumBlocks) std::abort();
  for (const auto& block : page.blocks) {
    if (block.text.empty() || !valid(block.text)) std::abort();
    if (block.level < 0 || block.level > HTMLTextExtractor::kMaximumListDepth) std::abort();
    for (const auto& link : block.links) {
      if (link.start >= link.end || link.end > block.text.size()) std::abort();
      if (!valid(link.href)) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  check(vexa::HTMLTextExtractor::extract(input));
  check(vexa::HTMLTextExtractor::extractPlainText(input));
  return 0;
}

// Arbitrary bytes as EXIF data, bare, behind the "Exif" header and inside a
// JPEG APP1 segment: no crash, no hang, and any orientation maps to one of
// the eight.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "vexa/store/image/QLExifOrientation.h"

namespace {

void check(std::span<const uint8_t> bytes) {
  auto tag = vexa::QLExifOrientation::orientationTag(bytes);
  if (!tag) return;
  if (*tag < 0 || *tag > 65535) std::abort();
  (void)vexa::QLExifOrientation::ql_sd_exifOrientationToiOSOrientation(*tag);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65000) return 0;
  check({data, size});

  std::vector<uint8_t> block{'E', 'x', 'i', 'f', 0, 0};
  block.insert(block.end(), data, data + size);
  check(block);

  const size_t length = block.size() + 2;
  std::vector<uint8_t> jpeg{0xFF, 0xD8, 0xFF, 0xE1, uint8_t(length >> 8), uint8_t(length)};
  jpeg.insert(jpeg.end(), block.begin(), block.end());
  jpeg.insert(jpeg.end(), {0xFF, 0xD9});
  check(jpeg);
  return 0;
}

// Arbitrary bytes as an image header: no crash or read past the data, and a
// header read agrees with the decoder wherever both accept the bytes (the
// store trusts the header alone when it checks a package).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "vexa/store/image/QLImageDecoder.h"
#include "vexa/store/image/QLImageHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexa::QLImageLimits limits;
  limits.maxPixels = 1 << 20;
  std::span<const uint8_t> bytes(data, size);
  auto header = vexa::QLImageHeader::read(bytes, limits);
  if (!header.ok()) return 0;
  if (header->width <= 0 || header->height <= 0) std::abort();
  // Orientation may turn a JPEG's or WebP's pixels; PNG and GIF keep them.
  if (header->contentType != "image/png" && header->contentType != "image/gif") return 0;
  auto image = vexa::QLImageDecoder::decode(bytes, limits);
  if (image.ok() && ((*image)->pixelWidth() != header->width || (*image)->pixelHeight() != header->height)) {
    std::abort();
  }
  return 0;
}

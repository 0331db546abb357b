// Arbitrary bytes as a PNG: no crash, sizes within the limits, and every
// decoded image survives a round trip through the encoder unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "vexa/store/image/QLImageDecoder.h"
#include "vexa/store/image/QLPngDecoder.h"
#include "vexa/store/image/QLPngEncoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexa::QLImageLimits limits;
  limits.maxPixels = 4 << 20;
  std::span<const uint8_t> bytes(data, size);

  (void)vexa::QLPngDecoder::exifPayload(bytes, limits);
  (void)vexa::QLImageDecoder::ql_sd_imageOrientationFromImageData(bytes);
  auto decoded = vexa::QLPngDecoder::decode(bytes, limits);
  if (!decoded.ok()) return 0;
  const vexa::Bitmap& bitmap = *decoded->bitmap;
  if (uint64_t(bitmap.width()) * bitmap.height() > limits.maxPixels) std::abort();

  auto image = vexa::Image::still(decoded->bitmap, 1, vexa::ImageOrientation::Up,
                                  vexa::ImageAlphaInfo::PremultipliedFirst);
  auto encoded = vexa::QLPngEncoder::encode(*image);
  if (!encoded.ok()) std::abort();
  auto again = vexa::QLPngDecoder::decode(*encoded, limits);
  if (!again.ok()) std::abort();
  // Premultiplied pixels survive straight-alpha storage exactly.
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x) {
      if (again->bitmap->pixel(x, y) != bitmap.pixel(x, y)) std::abort();
    }
  }
  return 0;
}

// Arbitrary bytes as a JPEG: no crash, no hang on many scans, sizes within
// the limits, and the orientation read from the same bytes never fails.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "vexa/store/image/QLImageDecoder.h"
#include "vexa/store/image/QLJpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexa::QLImageLimits limits;
  limits.maxPixels = 4 << 20;
  limits.maxDecoderMemory = 256 << 20;
  std::span<const uint8_t> bytes(data, size);

  (void)vexa::QLImageDecoder::ql_sd_imageOrientationFromImageData(bytes);
  auto bitmap = vexa::QLJpegDecoder::decode(bytes, limits);
  if (!bitmap.ok()) return 0;
  if (uint64_t((*bitmap)->width()) * (*bitmap)->height() > limits.maxPixels) std::abort();
  // JPEG has no transparency.
  if (((*bitmap)->pixel(0, 0) >> 24) != 0xFF) std::abort();
  return 0;
}

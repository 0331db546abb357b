// Arbitrary bytes as a WebP file: no crash, sizes within the limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "vexa/store/image/QLImageDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexa::QLImageLimits limits;
  limits.maxPixels = 4 << 20;
  std::span<const uint8_t> bytes(data, size);
  (void)vexa::QLImageDecoder::ql_sd_imageOrientationFromImageData(bytes);
  auto image = vexa::QLImageDecoder::decode(bytes, limits);
  if (image.ok() && uint64_t((*image)->pixelWidth()) * (*image)->pixelHeight() > limits.maxPixels) {
    std::abort();
  }
  return 0;
}

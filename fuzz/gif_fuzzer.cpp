// Arbitrary bytes as a GIF: no crash, no read or write outside the canvas,
// and every decoded animation is consistent (frames of one size, a positive
// duration, delays of at least 0.011 s).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "vexa/store/image/QLGifDecoder.h"
#include "vexa/store/image/QLGifSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexa::QLImageLimits limits;
  limits.maxPixels = 4 << 20;
  limits.maxDecodedBytes = 64 << 20;
  limits.maxFrames = 512;
  std::span<const uint8_t> bytes(data, size);

  auto source = vexa::QLGifSource::create(bytes, limits);
  if (source.ok()) {
    for (size_t i = 0; i < (*source)->count(); ++i) {
      if (vexa::QLGifDecoder::ql_sd_frameDurationAtIndex(i, **source) < 0.011) std::abort();
    }
  }
  auto image = vexa::QLGifDecoder::decode(bytes, limits);
  if (!image.ok()) return 0;
  const vexa::Image& decoded = **image;
  for (size_t i = 0; i < decoded.frameCount(); ++i) {
    auto f = decoded.frameAtIndex(i);
    if (!f || f->width() != decoded.pixelWidth() || f->height() != decoded.pixelHeight()) {
      std::abort();
    }
  }
  if ((*image)->isAnimated() && !((*image)->duration() > 0)) std::abort();
  return 0;
}

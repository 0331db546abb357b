// Arbitrary bytes as a GIF: no crash, no read or write outside the canvas,
// and every decoded animation is consistent (frames of one size, a positive
// duration, delays of at least 0.011 s). The animation budget is small, so
// most animations compose their frames on demand: each such frame, asked
// for in order and then out of it, must equal the frame a full decode kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

#include "vexa/store/image/QLGifDecoder.h"
#include "vexa/store/image/QLGifFrameWindow.h"
#include "vexa/store/image/QLGifSource.h"

namespace {

bool samePixels(const vexa::Bitmap& a, const vexa::Bitmap& b) {
  return a.width() == b.width() && a.height() == b.height() &&
         std::memcmp(a.pixels(), b.pixels(), a.byteSize()) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexa::QLImageLimits limits;
  limits.maxPixels = 4 << 20;
  limits.maxDecodedBytes = 64 << 20;
  limits.maxFrames = 512;
  limits.maxAnimationBytes = 64 << 10;
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
  if (decoded.isAnimated() && !(decoded.duration() > 0)) std::abort();
  const size_t n = decoded.frameCount();

  // Composed on demand: the same frames as with every frame kept.
  std::shared_ptr<const vexa::Image> whole;
  if (dynamic_cast<const vexa::QLGifFrameWindow*>(decoded.animationFrames().get())) {
    vexa::QLImageLimits holdAll = limits;
    holdAll.maxAnimationBytes = UINT64_MAX;
    auto all = vexa::QLGifDecoder::decode(bytes, holdAll);
    // Keeping all may pass the decoded-pixel budget; then there is nothing to compare.
    if (all.ok()) whole = *all;
    if (whole && ((whole->frameCount() != n || whole->duration() != decoded.duration()))) {
      std::abort();
    }
  }
  for (size_t i = 0; i < n; ++i) {
    auto f = decoded.frameAtIndex(i);
    if (!f || f->width() != decoded.pixelWidth() || f->height() != decoded.pixelHeight()) {
      std::abort();
    }
    if (whole && !samePixels(*f, *whole->frameAtIndex(i))) std::abort();
  }
  if (!whole) return 0;
  for (size_t i : {n - 1, n / 2, size_t(1), n - 1, size_t(0), n / 3}) {
    if (!samePixels(*decoded.frameAtIndex(i), *whole->frameAtIndex(i))) std::abort();
  }
  return 0;
}

// Animated GIF decoding: a GIF becomes an animated image of its composed
// frames, or a still image when it has at most one frame.
//
// An animation whose composed frames pass QLImageLimits::maxAnimationBytes
// composes them on demand (QLGifFrameWindow); Image::frameAtIndex hides the
// difference.
//
// Frame delays: the unclamped delay, else the delay, else 0.1 s; anything
// below 0.011 s counts as 0.1 s (so "as fast as possible" frames do not
// flash by). Frames that cannot be made are skipped and add no time. The
// animation lasts the sum of the delays (frame count x 0.1 s should that be
// 0); the image type shows every frame for the same share of it.
// Images carry the main screen's scale.
//
// Stateless; safe to call from any thread.
#pragma once

#include <memory>
#include <span>

#include "vexa/platform/Image.h"
#include "vexa/platform/Result.h"
#include "vexa/store/image/QLGifSource.h"
#include "vexa/store/image/QLImageLimits.h"

namespace vexa {

class QLGifDecoder {
 public:
  // nullptr for no data or data that gives no frame.
  static std::shared_ptr<const Image> ql_sd_animatedGIFWithData(std::span<const uint8_t> data);
  // The same, with the reason of a failure.
  static Result<std::shared_ptr<const Image>> decode(std::span<const uint8_t> data,
                                                     const QLImageLimits& limits = {});
  // Seconds frame `index` is shown for.
  static double ql_sd_frameDurationAtIndex(size_t index, const QLGifSource& source);
  // The image redrawn into a fresh bitmap. Multiplying onto a clear canvas
  // leaves every source pixel as it was, so this is an exact copy. An
  // animation that composes its frames on demand is returned sharing them.
  static std::shared_ptr<const Image> multiplyImageFromImage(const Image& image);
};

}  // namespace vexa

// JPEG encoding with libjpeg: the image's first frame, turned upright, as
// baseline YCbCr at a quality from 0.0 to 1.0 (1.0 is libjpeg's 100).
// Transparent areas come out black, as when composing over black.
//
// Stateless; safe to call from any thread.
#pragma once

#include "vexa/platform/Image.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa {

class QLJpegEncoder {
 public:
  static Result<Bytes> encode(const Image& image, double quality = 1.0);
};

}  // namespace vexa

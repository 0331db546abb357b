// PNG encoding with libpng: the image's first frame, turned upright, as 8-bit
// RGBA (or RGB for an image without an alpha channel).
//
// Stateless; safe to call from any thread.
#pragma once

#include "vexa/platform/Image.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa {

class QLPngEncoder {
 public:
  static Result<Bytes> encode(const Image& image);
};

}  // namespace vexa

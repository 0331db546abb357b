// Force decoding: a still image redrawn into a fresh ready-to-draw bitmap of
// the same pixel size, keeping its scale and orientation. Animated images are
// returned unchanged.
//
// The alpha kind of the new bitmap follows decodingBitmapInfo() for the
// device RGB colour space (3 components): opaque kinds become "none, skip
// first" and every kind with alpha becomes "premultiplied first".
//
// Stateless; safe to call from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "vexa/platform/Image.h"

namespace vexa {

class QLImageForceDecoder {
 public:
  static std::shared_ptr<const Image> ql_decodedImageWithImage(
      const std::shared_ptr<const Image>& image);

  // Bitmap info (alpha kind in the low 5 bits, other flags above) of the
  // drawing context for a bitmap with `bitmapInfo` in a colour space with
  // `colorComponents` components: kind 0 becomes 6 with 2 or more
  // components; a kind other than 0, 5 and 6 becomes 2 with exactly 3; every
  // other case is left as it is.
  static uint32_t decodingBitmapInfo(uint32_t bitmapInfo, size_t colorComponents);
};

}  // namespace vexa

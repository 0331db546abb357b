// Turns stored pixels upright: the bitmap as it is shown for an orientation
// (rotated and/or mirrored; left and right orientations swap width and
// height). Encoders use it, as the file formats written keep no orientation.
#pragma once

#include <memory>

#include "vexa/platform/Image.h"

namespace vexa {

class QLOrientationTransform {
 public:
  static std::shared_ptr<const Bitmap> uprightBitmap(const Bitmap& bitmap,
                                                     ImageOrientation orientation);
};

}  // namespace vexa

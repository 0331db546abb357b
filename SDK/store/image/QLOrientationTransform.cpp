#include "vexa/store/image/QLOrientationTransform.h"

namespace vexa {

std::shared_ptr<const Bitmap> QLOrientationTransform::uprightBitmap(const Bitmap& bitmap,
                                                                    ImageOrientation orientation) {
  const int w = bitmap.width(), h = bitmap.height();
  if (orientation == ImageOrientation::Up) return std::make_shared<const Bitmap>(bitmap);
  const bool swaps = orientation == ImageOrientation::Left ||
                     orientation == ImageOrientation::Right ||
                     orientation == ImageOrientation::LeftMirrored ||
                     orientation == ImageOrientation::RightMirrored;
  auto out = std::make_shared<Bitmap>(swaps ? h : w, swaps ? w : h);
  for (int y = 0; y < out->height(); ++y) {
    for (int x = 0; x < out->width(); ++x) {
      int sx = x, sy = y;  // the source pixel shown at (x, y)
      switch (orientation) {
        case ImageOrientation::Up: break;
        case ImageOrientation::UpMirrored: sx = w - 1 - x; break;
        case ImageOrientation::Down: sx = w - 1 - x; sy = h - 1 - y; break;
        case ImageOrientation::DownMirrored: sy = h - 1 - y; break;
        case ImageOrientation::LeftMirrored: sx = y; sy = x; break;
        case ImageOrientation::Right: sx = y; sy = h - 1 - x; break;
        case ImageOrientation::RightMirrored: sx = w - 1 - y; sy = h - 1 - x; break;
        case ImageOrientation::Left: sx = w - 1 - y; sy = x; break;
      }
      out->setPixel(x, y, bitmap.pixel(sx, sy));
    }
  }
  return out;
}

}  // namespace vexa

// Decoded images: pixel bitmaps with a scale and an orientation, optionally
// animated (several frames played over a total duration).
//
// Pixels are 32-bit premultiplied ARGB in native byte order (cairo's ARGB32),
// rows `stride` bytes apart. Images are immutable once made and shared by
// std::shared_ptr; they are safe to read from any thread. The first frame is
// always held; the other frames of an animation come from its
// AnimationFrames, which may compose them only when asked.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "vexa/platform/AnimationFrames.h"
#include "vexa/platform/Geometry.h"

namespace vexa {

class Bitmap {
 public:
  // A transparent bitmap. Width and height must be positive.
  Bitmap(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  int stride() const { return width_ * 4; }
  uint32_t* pixels() { return pixels_.data(); }
  const uint32_t* pixels() const { return pixels_.data(); }
  uint32_t pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  void setPixel(int x, int y, uint32_t argb) { pixels_[static_cast<size_t>(y) * width_ + x] = argb; }
  size_t byteSize() const { return pixels_.size() * 4; }

 private:
  int width_;
  int height_;
  std::vector<uint32_t> pixels_;
};

// How a bitmap's fourth byte is to be read, with the platform's values. The
// pixels are always premultiplied ARGB32; the kind records what the source
// had, so that an encoder can tell images with an alpha channel from opaque
// ones (a "none" kind has every alpha byte at 0xFF).
enum class ImageAlphaInfo {
  None = 0,
  PremultipliedLast = 1,
  PremultipliedFirst = 2,
  Last = 3,
  First = 4,
  NoneSkipLast = 5,
  NoneSkipFirst = 6,
  Only = 7,
};

// The EXIF orientations, with the platform's names.
enum class ImageOrientation {
  Up,             // EXIF 1
  Down,           // EXIF 3
  Left,           // EXIF 8
  Right,          // EXIF 6
  UpMirrored,     // EXIF 2
  DownMirrored,   // EXIF 4
  LeftMirrored,   // EXIF 5
  RightMirrored,  // EXIF 7
};

// How views draw an image: as it is, or as a template whose alpha is
// filled with the view's tint colour. Automatic lets the view choose
// (navigation bar buttons draw templates; everything else, originals).
enum class ImageRenderingMode { Automatic, AlwaysOriginal, AlwaysTemplate };

class Image {
 public:
  static std::shared_ptr<const Image> still(
      std::shared_ptr<const Bitmap> bitmap, double scale = 1,
      ImageOrientation orientation = ImageOrientation::Up,
      ImageAlphaInfo alphaInfo = ImageAlphaInfo::PremultipliedFirst);
  // Frames must be non-empty and of one size; duration in seconds.
  static std::shared_ptr<const Image> animated(
      std::vector<std::shared_ptr<const Bitmap>> frames, double duration, double scale = 1,
      ImageAlphaInfo alphaInfo = ImageAlphaInfo::PremultipliedFirst);
  // Frames composed on demand: `frames` must have a first frame, and all of
  // one size. nullptr when the first frame cannot be had.
  static std::shared_ptr<const Image> animated(
      std::shared_ptr<const AnimationFrames> frames, double duration, double scale = 1,
      ImageAlphaInfo alphaInfo = ImageAlphaInfo::PremultipliedFirst);

  // Size in points: pixels divided by the scale, with width and height
  // swapped for the left/right orientations.
  Size size() const;
  double scale() const { return scale_; }
  ImageOrientation orientation() const { return orientation_; }
  ImageAlphaInfo alphaInfo() const { return alphaInfo_; }
  // False for the none, none-skip-first and none-skip-last kinds.
  bool hasAlphaChannel() const;
  int pixelWidth() const { return first_->width(); }
  int pixelHeight() const { return first_->height(); }

  bool isAnimated() const { return frameCount() > 1; }
  size_t frameCount() const { return frames_ ? frames_->count() : 1; }
  // Frame `index` (0 is the still image); nullptr past the end, or when an
  // animation that composes frames on demand runs out of memory.
  std::shared_ptr<const Bitmap> frameAtIndex(size_t index) const;
  // The still image, or the first frame of an animation.
  const Bitmap& bitmap() const { return *first_; }
  const std::shared_ptr<const Bitmap>& firstFrame() const { return first_; }
  // The frames of an animation; nullptr for a still image.
  const std::shared_ptr<const AnimationFrames>& animationFrames() const { return frames_; }
  // Seconds for one pass of the animation; 0 for a still image.
  double duration() const { return duration_; }

  // Bytes of pixel memory, the cost measure of the memory cache: for an
  // animation, the most its frames hold at any time.
  size_t cost() const;

  ImageRenderingMode renderingMode() const { return renderingMode_; }
  // The same pixels (shared, not copied) in another rendering mode.
  std::shared_ptr<const Image> withRenderingMode(ImageRenderingMode mode) const;

 private:
  Image() = default;
  std::shared_ptr<const Bitmap> first_;
  std::shared_ptr<const AnimationFrames> frames_;  // nullptr for a still image
  double duration_ = 0;
  double scale_ = 1;
  ImageOrientation orientation_ = ImageOrientation::Up;
  ImageAlphaInfo alphaInfo_ = ImageAlphaInfo::PremultipliedFirst;
  ImageRenderingMode renderingMode_ = ImageRenderingMode::Automatic;
};

}  // namespace vexa

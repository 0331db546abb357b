#include "vexa/platform/Image.h"

#include <cassert>

namespace vexa {

Bitmap::Bitmap(int width, int height)
    : width_(width > 0 ? width : 1),
      height_(height > 0 ? height : 1),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0u) {}

std::shared_ptr<const Image> Image::still(std::shared_ptr<const Bitmap> bitmap, double scale,
                                          ImageOrientation orientation, ImageAlphaInfo alphaInfo) {
  assert(bitmap);
  std::shared_ptr<Image> image(new Image());
  image->frames_.push_back(std::move(bitmap));
  image->scale_ = scale > 0 ? scale : 1;
  image->orientation_ = orientation;
  image->alphaInfo_ = alphaInfo;
  return image;
}

std::shared_ptr<const Image> Image::animated(std::vector<std::shared_ptr<const Bitmap>> frames,
                                             double duration, double scale,
                                             ImageAlphaInfo alphaInfo) {
  assert(!frames.empty());
  std::shared_ptr<Image> image(new Image());
  image->frames_ = std::move(frames);
  image->duration_ = image->frames_.size() > 1 ? duration : 0;
  image->scale_ = scale > 0 ? scale : 1;
  image->alphaInfo_ = alphaInfo;
  return image;
}

bool Image::hasAlphaChannel() const {
  return alphaInfo_ != ImageAlphaInfo::None && alphaInfo_ != ImageAlphaInfo::NoneSkipFirst &&
         alphaInfo_ != ImageAlphaInfo::NoneSkipLast;
}

Size Image::size() const {
  double w = pixelWidth() / scale_, h = pixelHeight() / scale_;
  switch (orientation_) {
    case ImageOrientation::Left:
    case ImageOrientation::Right:
    case ImageOrientation::LeftMirrored:
    case ImageOrientation::RightMirrored:
      return {h, w};
    default:
      return {w, h};
  }
}

std::shared_ptr<const Image> Image::withRenderingMode(ImageRenderingMode mode) const {
  std::shared_ptr<Image> image(new Image(*this));
  image->renderingMode_ = mode;
  return image;
}

size_t Image::cost() const {
  size_t total = 0;
  for (const auto& f : frames_) total += f->byteSize();
  return total;
}

}  // namespace vexa

#include "vexa/platform/Image.h"

#include <cassert>

namespace vexa {
namespace {

// Every frame held, as decoded.
class HeldFrames : public AnimationFrames {
 public:
  explicit HeldFrames(std::vector<std::shared_ptr<const Bitmap>> frames)
      : frames_(std::move(frames)) {
    for (const auto& f : frames_) bytes_ += f->byteSize();
  }
  size_t count() const override { return frames_.size(); }
  std::shared_ptr<const Bitmap> frameAtIndex(size_t index) const override {
    return index < frames_.size() ? frames_[index] : nullptr;
  }
  size_t byteSize() const override { return bytes_; }
  size_t bytesHeld() const override { return bytes_; }
  bool composesOnDemand() const override { return false; }

 private:
  std::vector<std::shared_ptr<const Bitmap>> frames_;
  size_t bytes_ = 0;
};

}  // namespace

Bitmap::Bitmap(int width, int height)
    : width_(width > 0 ? width : 1),
      height_(height > 0 ? height : 1),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0u) {}

std::shared_ptr<const Image> Image::still(std::shared_ptr<const Bitmap> bitmap, double scale,
                                          ImageOrientation orientation, ImageAlphaInfo alphaInfo) {
  assert(bitmap);
  std::shared_ptr<Image> image(new Image());
  image->first_ = std::move(bitmap);
  image->scale_ = scale > 0 ? scale : 1;
  image->orientation_ = orientation;
  image->alphaInfo_ = alphaInfo;
  return image;
}

std::shared_ptr<const Image> Image::animated(std::vector<std::shared_ptr<const Bitmap>> frames,
                                             double duration, double scale,
                                             ImageAlphaInfo alphaInfo) {
  assert(!frames.empty());
  if (frames.size() == 1) return still(std::move(frames.front()), scale, ImageOrientation::Up, alphaInfo);
  return animated(std::make_shared<const HeldFrames>(std::move(frames)), duration, scale, alphaInfo);
}

std::shared_ptr<const Image> Image::animated(std::shared_ptr<const AnimationFrames> frames,
                                             double duration, double scale,
                                             ImageAlphaInfo alphaInfo) {
  assert(frames);
  auto first = frames->frameAtIndex(0);
  if (!first) return nullptr;
  if (frames->count() == 1) return still(std::move(first), scale, ImageOrientation::Up, alphaInfo);
  std::shared_ptr<Image> image(new Image());
  image->first_ = std::move(first);
  image->frames_ = std::move(frames);
  image->duration_ = duration;
  image->scale_ = scale > 0 ? scale : 1;
  image->alphaInfo_ = alphaInfo;
  return image;
}

std::shared_ptr<const Bitmap> Image::frameAtIndex(size_t index) const {
  if (index == 0) return first_;
  return frames_ ? frames_->frameAtIndex(index) : nullptr;
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

size_t Image::cost() const { return frames_ ? frames_->byteSize() : first_->byteSize(); }

}  // namespace vexa

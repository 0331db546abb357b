// An image view: shows an image (its first frame when animated) placed by
// its content mode; a template image (ImageRenderingMode::AlwaysTemplate)
// is filled with the view's tint colour. Not interactive by default.
// sizeThatFits is the image's size in points. Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/Image.h"
#include "vexa/platform/ui/ContentMode.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class ImageView : public View {
 public:
  explicit ImageView(Rect frame = {});
  static std::shared_ptr<ImageView> create(Rect frame = {}) {
    return std::make_shared<ImageView>(frame);
  }

  const std::shared_ptr<const Image>& image() const { return image_; }
  virtual void setImage(std::shared_ptr<const Image> image);
  ContentMode contentMode() const { return contentMode_; }
  void setContentMode(ContentMode mode) { contentMode_ = mode; }
  // Playback of animated images is a flag only: the renderer shows frame 0.
  bool isAnimating() const { return animating_; }
  void startAnimating() { animating_ = true; }
  void stopAnimating() { animating_ = false; }

  Size sizeThatFits(Size size) const override;
  void draw(cairo_t* cr, const Rect& rect) const override;

 private:
  std::shared_ptr<const Image> image_;
  ContentMode contentMode_ = ContentMode::ScaleToFill;
  bool animating_ = false;
};

}  // namespace vexa

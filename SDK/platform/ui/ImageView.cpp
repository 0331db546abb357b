#include "vexa/platform/ui/ImageView.h"

#include "vexa/platform/ui/ImagePainter.h"

namespace vexa {

ImageView::ImageView(Rect frame) : View(frame) { setUserInteractionEnabled(false); }

void ImageView::setImage(std::shared_ptr<const Image> image) {
  image_ = std::move(image);
  animating_ = image_ && image_->isAnimated();
}

Size ImageView::sizeThatFits(Size) const { return image_ ? image_->size() : Size{}; }

void ImageView::draw(cairo_t* cr, const Rect&) const {
  if (!image_) return;
  Rect r = contentRectForMode(contentMode_, image_->size(), bounds());
  if (image_->renderingMode() == ImageRenderingMode::AlwaysTemplate) {
    Color tint = tintColor();
    ImagePainter::draw(cr, *image_, r, &tint);
  } else {
    ImagePainter::draw(cr, *image_, r);
  }
}

}  // namespace vexa

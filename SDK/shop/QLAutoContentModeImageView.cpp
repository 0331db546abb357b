#include "vexa/shop/QLAutoContentModeImageView.h"

#include "vexa/store/image/QLContentModeAdjuster.h"

namespace vexa {

void QLAutoContentModeImageView::setImage(std::shared_ptr<const Image> image) {
  ImageView::setImage(std::move(image));
  adjustContentModeAutomatically();
}

void QLAutoContentModeImageView::didChangeBounds(const Rect& oldBounds) {
  ImageView::didChangeBounds(oldBounds);
  adjustContentModeAutomatically();
}

void QLAutoContentModeImageView::adjustContentModeAutomatically() {
  const auto mode = QLContentModeAdjuster::adjustContentModeAutomatically(image().get(), frame().size);
  if (!mode) return;
  setContentMode(*mode == QLImageContentMode::ScaleAspectFit ? ContentMode::ScaleAspectFit
                                                              : ContentMode::Center);
}

}  // namespace vexa

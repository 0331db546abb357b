#include "vexa/shop/QLEmojiPreviewPopover.h"

#include "vexa/platform/ui/ImageView.h"
#include "vexa/store/image/QLContentModeAdjuster.h"

namespace vexa {

QLEmojiPreviewPopover::~QLEmojiPreviewPopover() {
  if (popover_) popover_->dismiss();
}

void QLEmojiPreviewPopover::show(std::shared_ptr<const Image> image, const View& cell, View& container) {
  if (popover_) {
    popover_->setAnimationIn(0);
    popover_->setAnimated(false);
  } else {
    popover_ = QLPopoverView::create();
    popover_->setMaskType(QLPopoverMaskType::None);
    popover_->setAnimationOut(0);
    popover_->setContentInset(EdgeInsets{kContentInset, kContentInset, kContentInset, kContentInset});
  }
  content_ = ImageView::create(Rect(0, 0, side_, side_));
  setImage(std::move(image));
  const Rect top = cell.convertRectToView(cell.bounds(), &container);
  popover_->showAtPoint(Point{top.midX(), top.minY()}, QLPopoverPosition::Up, content_,
                        container.shared_from_this());
}

void QLEmojiPreviewPopover::setImage(std::shared_ptr<const Image> image) {
  if (!content_) return;
  if (auto mode = QLContentModeAdjuster::adjustContentModeAutomatically(image.get(), content_->frame().size)) {
    content_->setContentMode(*mode == QLImageContentMode::Center ? ContentMode::Center
                                                                : ContentMode::ScaleAspectFit);
  }
  content_->setImage(std::move(image));
}

void QLEmojiPreviewPopover::dismiss() {
  if (!popover_) return;
  popover_->overlay()->setUserInteractionEnabled(true);
  popover_->setAnimationOut(0.4);
  popover_->setAnimationIn(0.3);
  popover_->setAnimated(false);
  popover_->dismiss();
  popover_.reset();
  content_.reset();
}

}  // namespace vexa

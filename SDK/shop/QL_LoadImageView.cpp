#include "vexa/shop/QL_LoadImageView.h"

#include "vexa/platform/ui/ImageAssets.h"
#include "vexa/platform/ui/TapGestureRecognizer.h"
#include "vexa/store/image/loader/QLImageLoadTarget.h"

namespace vexa {

QL_LoadImageView::QL_LoadImageView(Rect frame) : ImageView(frame) {
  setClipsToBounds(true);
  setBorderColor(Color::white(2.0 / 3.0));
  setBorderWidth(0);
  setCornerRadius(0);
}

QL_LoadImageView::~QL_LoadImageView() = default;

void QL_LoadImageView::setCircular(bool circular) {
  circular_ = circular;
  setNeedsLayout();
}

void QL_LoadImageView::layoutSubviews() {
  if (circular_) setCornerRadius(std::min(bounds().width(), bounds().height()) / 2);
}

void QL_LoadImageView::setTapImageViewBlock(TapBlock block) {
  tapBlock_ = std::move(block);
  if (tapBlock_ && !tap_) {
    tap_ = TapGestureRecognizer::create([this](GestureRecognizer&) {
      if (tapBlock_) tapBlock_(*this);
    });
    addGestureRecognizer(tap_);
    setUserInteractionEnabled(true);
  } else if (!tapBlock_ && tap_) {
    removeGestureRecognizer(tap_.get());
    tap_.reset();
    setUserInteractionEnabled(false);
  }
}

void QL_LoadImageView::setImage(std::shared_ptr<const Image> image) {
  ++loadGeneration_;
  url_.clear();
  if (target_) target_->cancelImageLoad();
  ImageView::setImage(std::move(image));
}

void QL_LoadImageView::setImageNamed(const std::string& name) {
  setImage(ImageAssets::shared().imageNamed(name));
}

void QL_LoadImageView::setImageWithURL(const std::string& url, std::shared_ptr<const Image> placeholder) {
  setImage(std::move(placeholder));
  url_ = url;
  if (url.empty()) return;
  uint64_t generation = loadGeneration_;
  std::weak_ptr<View> weak = weak_from_this();
  auto show = [weak, generation](std::shared_ptr<const Image> image) {
    auto self = std::static_pointer_cast<QL_LoadImageView>(weak.lock());
    // A newer request (or a direct image) has taken the view over.
    if (!self || self->loadGeneration_ != generation || !image) return;
    self->ImageView::setImage(std::move(image));
  };
  if (loader_) {
    loader_(url, show);
    return;
  }
  if (!target_) target_ = std::make_unique<QLImageLoadTarget>();
  target_->setImageWithURL(url, [show](const std::shared_ptr<const Image>& image,
                                       const std::optional<Error>&) { show(image); });
}

}  // namespace vexa

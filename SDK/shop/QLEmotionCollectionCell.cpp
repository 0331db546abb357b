#include "vexa/shop/QLEmotionCollectionCell.h"

#include <algorithm>

#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/LongPressGestureRecognizer.h"
#include "vexa/theme/QLEmotionColor.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

QLEmotionCollectionCell::QLEmotionCollectionCell(Rect frame) : CollectionViewCell(frame) {
  imgView_ = ImageView::create();
  imgView_->setContentMode(ContentMode::ScaleAspectFit);
  grayView_ = View::create();
  grayView_->setBackgroundColor(QLEmotionColor::ql_colorWithHexColorString("#f5f5f5"));
  grayView_->setHidden(true);
  seletedImgView_ = ImageView::create();
  seletedImgView_->setImage(QLEmotionGlobal::sharedInstance().base64UIimageWithName("choosed"));
  seletedImgView_->setHidden(true);
  // The grey layer lies under the picture, which stays visible on it.
  contentView()->addSubview(grayView_);
  contentView()->addSubview(imgView_);
  contentView()->addSubview(seletedImgView_);
}

void QLEmotionCollectionCell::setCellStatus(int status) {
  if (status == cellStatus_) return;
  cellStatus_ = status;
  switch (status) {
    case kStatusPlain:
      grayView_->setHidden(true);
      seletedImgView_->setHidden(true);
      break;
    case kStatusGray:
      grayView_->setHidden(false);
      seletedImgView_->setHidden(true);
      break;
    case kStatusSelected:
      grayView_->setHidden(false);
      seletedImgView_->setHidden(false);
      break;
    default:
      break;
  }
}

void QLEmotionCollectionCell::enableLongPressedFeature(bool enabled) {
  const auto& content = contentView();
  if (!enabled) {
    if (longRecognizer_) content->removeGestureRecognizer(longRecognizer_.get());
    return;
  }
  if (!longRecognizer_) {
    // The recogniser belongs to this cell's content view, so the cell
    // outlives every call of its action.
    longRecognizer_ = LongPressGestureRecognizer::create(
        [this](GestureRecognizer& recognizer) { longPressedAction(recognizer); });
    longRecognizer_->setMinimumPressDuration(kMinimumPressDuration);
  }
  const auto& attached = content->gestureRecognizers();
  if (std::find(attached.begin(), attached.end(), longRecognizer_) == attached.end()) {
    content->addGestureRecognizer(longRecognizer_);
  }
}

void QLEmotionCollectionCell::longPressedAction(GestureRecognizer& recognizer) {
  if (recognizer.state() != GestureRecognizerState::Ended) return;
  auto delegate = delegate_.lock();
  if (delegate && delegate->longPressedEmotionCell) delegate->longPressedEmotionCell(*this);
}

void QLEmotionCollectionCell::layoutSubviews() {
  CollectionViewCell::layoutSubviews();
  const Rect b = contentView()->bounds();
  imgView_->setFrame(b);
  grayView_->setFrame(b);
  seletedImgView_->setFrame(Rect(b.width() - kMarkSide, b.height() - kMarkSide, kMarkSide, kMarkSide));
}

}  // namespace vexa

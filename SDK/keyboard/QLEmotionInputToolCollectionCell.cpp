#include "vexa/keyboard/QLEmotionInputToolCollectionCell.h"

#include "vexa/keyboard/QLBorderView.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/theme/QLEmotionColor.h"

namespace vexa {

QLEmotionInputToolCollectionCell::QLEmotionInputToolCollectionCell(Rect frame)
    : CollectionViewCell(frame) {
  selectedView_ = View::create();
  selectedView_->setBackgroundColor(QLEmotionColor::ql_colorWithHexColorString("#dddddd")->withAlpha(0.6));
  selectedView_->setHidden(true);
  borderView_ = QLBorderView::create();
  borderView_->setDrawOrder({QLBorderView::kEdgeRight});
  imgView_ = ImageView::create();
  imgView_->setContentMode(ContentMode::ScaleAspectFit);
  contentView()->addSubview(selectedView_);
  contentView()->addSubview(borderView_);
  contentView()->addSubview(imgView_);
  setIsAccessibilityElement(true);
}

double QLEmotionInputToolCollectionCell::iconSide() {
  const Screen screen = Screen::main();
  if (screen.isPhone() && screen.longSide() <= 568) return 25;
  if (screen.isPhone() && screen.longSide() == 667) return 30;
  return 35;
}

void QLEmotionInputToolCollectionCell::setSelected(bool selected) {
  CollectionViewCell::setSelected(selected);
  selectedView_->setHidden(!selected);
}

void QLEmotionInputToolCollectionCell::prepareForReuse() {
  CollectionViewCell::prepareForReuse();
  imgView_->setImage(nullptr);
  setSelected(false);
}

void QLEmotionInputToolCollectionCell::layoutSubviews() {
  const Rect b = bounds();
  selectedView_->setFrame(b);
  borderView_->setFrame(b);
  const double side = iconSide();
  imgView_->setFrame(Rect((b.width() - side) / 2, (b.height() - side) / 2, side, side));
}

}  // namespace vexa

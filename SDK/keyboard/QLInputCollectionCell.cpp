#include "vexa/keyboard/QLInputCollectionCell.h"

#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/theme/QLEmotionColor.h"

namespace vexa {

QLInputCollectionCell::QLInputCollectionCell(Rect frame) : CollectionViewCell(frame) {
  imgView_ = ImageView::create();
  imgView_->setContentMode(ContentMode::ScaleAspectFit);
  textLabel_ = Label::create();
  textLabel_->setTextAlignment(TextAlignment::Center);
  textLabel_->setTextColor(*QLEmotionColor::ql_colorWithHexColorString("#b8b8b8"));
  textLabel_->setFont(Font::systemFont(12));
  contentView()->addSubview(imgView_);
  contentView()->addSubview(textLabel_);
  setIsAccessibilityElement(true);
}

double QLInputCollectionCell::captionGap() {
  const Screen screen = Screen::main();
  if (!screen.isPhone()) return 5;
  if (screen.longSide() <= 568) return 9;
  if (screen.longSide() == 667) return 8;
  return 5;
}

void QLInputCollectionCell::prepareForReuse() {
  CollectionViewCell::prepareForReuse();
  imgView_->setImage(nullptr);
  textLabel_->setText("");
  setAccessibilityIdentifier("");
  setAccessibilityLabel("");
  setNeedsLayout();
}

void QLInputCollectionCell::layoutSubviews() {
  const double W = bounds().width(), H = bounds().height();
  if (textLabel_->text().empty()) {
    textLabel_->setHidden(true);
    imgView_->setFrame(Rect(0, 0, W, H));
    return;
  }
  textLabel_->setHidden(false);
  const double labelHeight = textLabel_->sizeThatFits(Size{W, H}).height;
  const double gap = captionGap();
  imgView_->setFrame(Rect(0, 0, W, H - gap - labelHeight));
  textLabel_->setFrame(Rect(0, imgView_->frame().maxY() + gap, W, labelHeight));
}

}  // namespace vexa

#include "vexa/shop/QLSimpleTitleTableCell.h"

#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

QLSimpleTitleTableCell::QLSimpleTitleTableCell() {
  titleLabel_ = Label::create();
  titleLabel_->setTextColor(Color::black());
  bottomLine_ = View::create();
  bottomLine_->setBackgroundColor(QLEmotionGlobal::sharedInstance().theme()->separateColor());
  contentView()->addSubview(titleLabel_);
  contentView()->addSubview(bottomLine_);
}

void QLSimpleTitleTableCell::layoutSubviews() {
  TableViewCell::layoutSubviews();
  const double W = contentView()->bounds().width(), H = contentView()->bounds().height();
  const double px = Screen::main().hairline();
  titleLabel_->setFrame(Rect(15, 0, W - 30, H));
  bottomLine_->setFrame(Rect(15, H - px, W - 30, px));
}

}  // namespace vexa

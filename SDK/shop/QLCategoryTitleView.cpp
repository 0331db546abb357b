#include "vexa/shop/QLCategoryTitleView.h"

#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {
namespace {

double sideInset(const Screen& screen) {
  if (screen.isPhone() && screen.longSide() <= 568) return 12;
  if (!screen.isPhone()) return 15;
  if (screen.longSide() == 667) return 14;
  return 15;
}

double titleTop(const Screen& screen) {
  if (screen.isPhone() && screen.longSide() <= 568) return 15;
  if (!screen.isPhone()) return 24;
  if (screen.longSide() == 667) return 21;
  return 24;
}

}  // namespace

QLCategoryTitleView::QLCategoryTitleView(Rect frame) : View(frame) {
  auto theme = QLEmotionGlobal::sharedInstance().theme();
  setBackgroundColor(Color::whiteColor());
  titleLabel_ = Label::create();
  titleLabel_->setFont(theme->shopCategoryFont());
  titleLabel_->setTextColor(theme->shopCategoryColor());
  topLineView_ = View::create();
  bottomLineView_ = View::create();
  setLineColor(theme->separateColor());
  const double inset = sideInset(Screen::main());
  lineInset_ = EdgeInsets{0, inset, 0, inset};
  addSubview(titleLabel_);
  addSubview(topLineView_);
  addSubview(bottomLineView_);
}

void QLCategoryTitleView::setLineColor(const Color& color) {
  lineColor_ = color;
  topLineView_->setBackgroundColor(color);
  bottomLineView_->setBackgroundColor(color);
}

void QLCategoryTitleView::setLineInset(const EdgeInsets& insets) {
  lineInset_ = insets;
  setNeedsLayout();
}

void QLCategoryTitleView::layoutSubviews() {
  const double W = bounds().width(), H = bounds().height();
  const double px = Screen::main().hairline();
  const Rect top(lineInset_.left, 0, W - lineInset_.left - lineInset_.right, px);
  topLineView_->setFrame(top);
  bottomLineView_->setFrame(Rect(top.minX(), H - top.height(), top.width(), top.height()));
  const double titleHeight = titleLabel_->sizeThatFits(Size{}).height;
  titleLabel_->setFrame(Rect(top.minX(), titleTop(Screen::main()), W, titleHeight));
}

}  // namespace vexa

#include "vexa/shop/QLDownloadedTableCell.h"

#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/theme/QLEmotionColor.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {
namespace {

Color hex(const char* text) {
  return QLEmotionColor::ql_colorWithHexColorString(text).value_or(Color::clear());
}

Size removeButtonSize() {
  const Screen screen = Screen::main();
  if (screen.isPhone() && screen.longSide() <= 568) return {60, 28};
  if (screen.isPhone() && screen.longSide() == 667) return {71, 34};
  return {78, 35};
}

}  // namespace

QLDownloadedTableCell::QLDownloadedTableCell() {
  auto theme = QLEmotionGlobal::sharedInstance().theme();
  imgView_ = QL_LoadImageView::create();
  titleLabel_ = Label::create();
  titleLabel_->setFont(theme->shopPackageTitleFont());
  titleLabel_->setTextColor(theme->shopPackageTitleColor());
  removeBtn_ = Button::create();
  removeBtn_->setBorderWidth(1);
  removeBtn_->setCornerRadius(3);
  removeBtn_->setBorderColor(hex("#d6d6d6"));
  removeBtn_->setTitleFont(theme->downloadTitleFont());
  removeBtn_->setTitleColor(hex("#e98182"));
  removeBtn_->setTitle("移除");
  // The button is this cell's own child, so it never outlives the cell.
  removeBtn_->addAction(ControlEventTouchUpInside, [this](Control&) { removeAction(); });
  bottomLine_ = View::create();
  bottomLine_->setBackgroundColor(theme->separateColor());
  for (const auto& view : std::initializer_list<std::shared_ptr<View>>{imgView_, titleLabel_, removeBtn_,
                                                                        bottomLine_}) {
    contentView()->addSubview(view);
  }
}

void QLDownloadedTableCell::removeAction() {
  removeBtn_->setBackgroundColor(hex("#f1f1f1"));
  if (removeHandler_) removeHandler_(*this);
}

void QLDownloadedTableCell::prepareForReuse() {
  TableViewCell::prepareForReuse();
  removeBtn_->setBackgroundColor(std::nullopt);
}

void QLDownloadedTableCell::layoutSubviews() {
  TableViewCell::layoutSubviews();
  const double W = contentView()->bounds().width(), H = contentView()->bounds().height();
  const double px = Screen::main().hairline();
  imgView_->setFrame(Rect(15, 9, H - 18, H - 18));
  const Rect cover = imgView_->frame();
  const Size title = titleLabel_->sizeThatFits(Size{});
  titleLabel_->setFrame(Rect(cover.maxX() + 8, cover.midY() - title.height / 2, title.width, title.height));
  const Size button = removeButtonSize();
  removeBtn_->setFrame(Rect(W - button.width - 15, cover.midY() - button.height / 2, button.width, button.height));
  removeBtn_->setBackgroundColor(Color::whiteColor());
  bottomLine_->setFrame(Rect(15, H - px, W - 30, px));
}

}  // namespace vexa

#include "vexa/shop/QLNormalTableCell.h"

#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {
namespace {

struct RowMetrics {
  double horizontalInset;
  double verticalInset;
  Size control;
};

RowMetrics rowMetrics() {
  const Screen screen = Screen::main();
  const bool phone = screen.isPhone();
  const double side = screen.longSide();
  RowMetrics m{};
  if (phone && side == 736) m.horizontalInset = 15;
  else if (!phone) m.horizontalInset = 12;
  else if (side == 667) m.horizontalInset = 14;
  else m.horizontalInset = 12;
  m.verticalInset = phone && side == 736 ? 12 : 9;
  if (phone && side <= 568) m.control = Size{60, 28};
  else if (phone && side == 667) m.control = Size{71, 34};
  else m.control = Size{78, 35};
  return m;
}

}  // namespace

QLNormalTableCell::QLNormalTableCell() {
  QLEmotionGlobal& global = QLEmotionGlobal::sharedInstance();
  auto theme = global.theme();
  setSelectionStyle(SelectionStyle::None);
  imgView_ = QL_LoadImageView::create();
  promotionImage_ = ImageView::create();
  promotionImage_->setImage(global.base64UIimageWithName("new"));
  titleLabel_ = Label::create();
  titleLabel_->setFont(theme->shopPackageTitleFont());
  titleLabel_->setTextColor(theme->shopPackageTitleColor());
  detailLabel_ = Label::create();
  detailLabel_->setNumberOfLines(0);
  detailLabel_->setFont(theme->shopPackageSubTitleFont());
  detailLabel_->setTextColor(theme->shopPackageSubTitleColor());
  downloadView_ = QLDownloadView::packageControl();
  host_ = std::make_unique<QLDownloadControlHost>(downloadView_);
  topLine_ = View::create();
  topLine_->setBackgroundColor(theme->separateColor());
  topLine_->setHidden(true);
  bottomLine_ = View::create();
  bottomLine_->setBackgroundColor(theme->separateColor());
  for (const auto& view : std::initializer_list<std::shared_ptr<View>>{
           imgView_, titleLabel_, detailLabel_, downloadView_, topLine_, bottomLine_}) {
    contentView()->addSubview(view);
  }
}

void QLNormalTableCell::addPromotionImage() {
  promotion_ = true;
  imgView_->addSubview(promotionImage_);
}

void QLNormalTableCell::removePromotionImage() {
  promotion_ = false;
  promotionImage_->removeFromSuperview();
}

void QLNormalTableCell::layoutSubviews() {
  TableViewCell::layoutSubviews();
  const Rect content = contentView()->bounds();
  const double W = content.width(), H = content.height();
  const double px = Screen::main().hairline();
  const RowMetrics m = rowMetrics();
  const double h = m.horizontalInset, v = m.verticalInset;
  const double side = H - 2 * v;
  imgView_->setFrame(Rect(h, v, side, side));
  promotionImage_->setFrame(Rect(0, 0, side / 2, side / 2));
  const Rect control(W - m.control.width - h, (H - m.control.height) / 2, m.control.width,
                     m.control.height);
  downloadView_->setFrame(control);
  const Rect cover = imgView_->frame();
  const double textWidth = control.minX() - cover.maxX() - 2 * v;
  const double titleHeight = titleLabel_->sizeThatFits(Size{}).height;
  titleLabel_->setFrame(Rect(cover.maxX() + v, cover.minY() + 4, textWidth, titleHeight));
  const double detailCap = H - cover.midY() - 2.5 - px - 1;
  const double detailHeight = std::min(detailLabel_->heightForWidth(textWidth), detailCap);
  const Rect title = titleLabel_->frame();
  detailLabel_->setFrame(Rect(title.minX(), title.maxY() + 4, textWidth, detailHeight));
  topLine_->setFrame(Rect(0, 0, W, px));
  bottomLine_->setFrame(Rect(h, H - px, W - 2 * h, px));
}

}  // namespace vexa

#include "vexa/shop/QLEmotionDetailTableCell.h"

#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

QLEmotionDetailTableCell::QLEmotionDetailTableCell() {
  QLEmotionGlobal& global = QLEmotionGlobal::sharedInstance();
  auto theme = global.theme();
  setSelectionStyle(SelectionStyle::None);
  lineLabel_ = Label::create();
  lineLabel_->setBackgroundColor(Color::white(0.5));
  remindImgView_ = ImageView::create();
  remindImgView_->setImage(global.base64UIimageWithName("remind"));
  remindLabel_ = Label::create();
  remindLabel_->setTextAlignment(TextAlignment::Left);
  remindLabel_->setFont(theme->remindLabelFont());
  remindLabel_->setTextColor(theme->remindLabelColor());
  remindLabel_->setText(global.localizedStringForKey("获取表情包信息失败"));
  contentView()->addSubview(lineLabel_);
  contentView()->addSubview(remindImgView_);
  contentView()->addSubview(remindLabel_);
}

void QLEmotionDetailTableCell::layoutSubviews() {
  TableViewCell::layoutSubviews();
  const double W = contentView()->bounds().width(), H = contentView()->bounds().height();
  lineLabel_->setFrame(Rect(0, 0, W, 1));
  remindImgView_->setFrame(Rect(W / 4, 3 * H / 8, W / 16, H / 4));
  remindLabel_->setFrame(Rect(3 * W / 10 + 10, 3 * H / 8, W / 2, H / 4));
}

}  // namespace vexa

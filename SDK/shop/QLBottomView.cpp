#include "vexa/shop/QLBottomView.h"

#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/theme/QLEmotionColor.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

QLBottomView::QLBottomView(Rect frame) : View(frame) {
  QLEmotionGlobal& global = QLEmotionGlobal::sharedInstance();
  auto theme = global.theme();
  setBackgroundColor(Color::whiteColor());
  copyrightLabel_ = Label::create();
  copyrightLabel_->setTextAlignment(TextAlignment::Center);
  copyrightLabel_->setFont(theme->copyrightFont());
  copyrightLabel_->setTextColor(theme->copyrightColor());
  serviceBtn_ = Button::create();
  serviceBtn_->setTitle(global.localizedStringForKey("服务声明"));
  serviceBtn_->setTitleFont(theme->copyrightFont());
  if (auto link = QLEmotionColor::ql_colorWithHexColorString("#003072")) serviceBtn_->setTitleColor(*link);
  addSubview(copyrightLabel_);
  addSubview(serviceBtn_);
}

void QLBottomView::layoutSubviews() {
  const double W = bounds().width(), H = bounds().height();
  copyrightLabel_->setFrame(Rect(0, 0, W, H / 3));
  serviceBtn_->setFrame(Rect(2 * W / 5, H / 3, W / 5, 2 * H / 3));
}

}  // namespace vexa

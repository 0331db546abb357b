#include "vexa/shop/QLLoadFailedView.h"

#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

QLLoadFailedView::QLLoadFailedView(Rect frame) : View(frame) {
  QLEmotionGlobal& global = QLEmotionGlobal::sharedInstance();
  auto theme = global.theme();
  setBackgroundColor(Color::whiteColor());
  imgView_ = ImageView::create();
  imgView_->setImage(global.base64UIimageWithName("failed"));
  loadFailedLabel_ = Label::create();
  loadFailedLabel_->setFont(theme->loadFailedLabelFont());
  loadFailedLabel_->setTextColor(theme->loadFailedLabelColor());
  loadFailedLabel_->setTextAlignment(TextAlignment::Center);
  loadFailedLabel_->setText(global.localizedStringForKey("页面加载失败，请检查网络后重试"));
  reloadBtn_ = Button::create();
  reloadBtn_->setTitle(global.localizedStringForKey("重新加载"));
  reloadBtn_->setBackgroundColor(Color::whiteColor());
  reloadBtn_->setTitleColor(theme->reloadBtnColor());
  reloadBtn_->setTitleFont(theme->reloadBtnFont());
  reloadBtn_->setClipsToBounds(true);
  reloadBtn_->setCornerRadius(5);
  reloadBtn_->setBorderWidth(2);
  reloadBtn_->setBorderColor(Color::rgb255(220, 220, 220));
  // The button is this view's own child, so it never outlives the view.
  reloadBtn_->addAction(ControlEventTouchUpInside, [this](Control&) { requestDataAgain(); });
  addSubview(imgView_);
  addSubview(loadFailedLabel_);
  addSubview(reloadBtn_);
}

void QLLoadFailedView::requestDataAgain() {
  if (reloadBtnClick_) return;
  reloadBtnClick_ = true;
  auto dataSource = dataSource_.lock();
  if (dataSource && dataSource->requestData) dataSource->requestData();
}

void QLLoadFailedView::layoutSubviews() {
  const double W = bounds().width(), H = bounds().height();
  const double y0 = (H - 180) / 2;
  imgView_->setFrame(Rect((W - 77) / 2, y0, 77, 52));
  loadFailedLabel_->setFrame(Rect(0, y0 + 72, W, 32));
  reloadBtn_->setFrame(Rect((W - 132) / 2, y0 + 132, 132, 48));
}

}  // namespace vexa

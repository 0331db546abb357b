#include "vexa/keyboard/QLKeyboardInitFailedView.h"

#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

QLKeyboardInitFailedView::QLKeyboardInitFailedView(Rect frame) : View(frame) {
  QLEmotionGlobal& global = QLEmotionGlobal::sharedInstance();
  auto theme = global.theme();
  imgView_ = ImageView::create();
  imgView_->setContentMode(ContentMode::ScaleAspectFit);
  imgView_->setImage(global.base64UIimageWithName("failed"));
  promptLabel_ = Label::create();
  promptLabel_->setTextAlignment(TextAlignment::Center);
  promptLabel_->setFont(theme->promptLabelFont());
  promptLabel_->setTextColor(theme->promptLabelColor());
  promptLabel_->setText(global.localizedStringForKey("表情键盘初始化失败，请检查网络后重试"));
  retryBtn_ = Button::create();
  retryBtn_->setTitle(global.localizedStringForKey("点击刷新"));
  retryBtn_->setBackgroundColor(Color::whiteColor());
  retryBtn_->setTitleColor(theme->retryBtnColor());
  retryBtn_->setTitleFont(theme->retryBtnFont());
  retryBtn_->setCornerRadius(5);
  retryBtn_->setClipsToBounds(true);
  retryBtn_->setAccessibilityIdentifier("retry");
  // The button is this view's own child, so it never outlives the view.
  retryBtn_->addAction(ControlEventTouchUpInside, [this](Control&) { refresh(); });
  addSubview(imgView_);
  addSubview(promptLabel_);
  addSubview(retryBtn_);
}

void QLKeyboardInitFailedView::refresh() {
  if (refreshSuccess_) return;
  refreshSuccess_ = true;
  auto dataSource = dataSource_.lock();
  if (dataSource && dataSource->refreshData) dataSource->refreshData();
}

void QLKeyboardInitFailedView::layoutSubviews() {
  const double W = bounds().width();
  const double x = (W - 77) / 2;
  imgView_->setFrame(Rect(x, 45, 77, 52));
  promptLabel_->setFrame(Rect(0, 106, W, 10));
  retryBtn_->setFrame(Rect(x, 127, 77, 30));
}

}  // namespace vexa

#include "vexa/support/QLProgressHUD.h"

#include <algorithm>

#include "vexa/platform/ui/ActivityIndicatorView.h"
#include "vexa/platform/ui/Label.h"

namespace vexa {

namespace {
constexpr double kFadeDuration = 0.3;
constexpr double kGap = 8;
}  // namespace

QLProgressHUD::QLProgressHUD(Rect frame) : View(frame) {
  setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
  bezel_ = View::create();
  bezel_->setBackgroundColor(Color::black().withAlpha(0.8));
  bezel_->setCornerRadius(5);
  bezel_->setClipsToBounds(true);
  indicator_ = ActivityIndicatorView::create();
  indicator_->startAnimating();
  label_ = Label::create();
  label_->setFont(Font::boldSystemFont(16));
  label_->setTextColor(Color::whiteColor());
  label_->setTextAlignment(TextAlignment::Center);
  bezel_->addSubview(indicator_);
  bezel_->addSubview(label_);
  addSubview(bezel_);
}

std::shared_ptr<QLProgressHUD> QLProgressHUD::showHUDAddedTo(View& view, const std::string& text,
                                                             bool animated) {
  auto hud = std::make_shared<QLProgressHUD>(view.bounds());
  hud->setText(text);
  view.addSubview(hud);
  if (animated) {
    hud->setAlpha(0);
    ViewAnimation::animate(kFadeDuration, [&] { hud->setAlpha(1); });
  }
  return hud;
}

std::shared_ptr<QLProgressHUD> QLProgressHUD::HUDForView(View& view) {
  const auto& children = view.subviews();
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if (auto hud = std::dynamic_pointer_cast<QLProgressHUD>(*it)) return hud;
  return nullptr;
}

bool QLProgressHUD::hideHUDForView(View& view, bool animated) {
  auto hud = HUDForView(view);
  if (!hud) return false;
  hud->hide(animated);
  return true;
}

void QLProgressHUD::hide(bool animated) {
  if (animated) ViewAnimation::animate(kFadeDuration, [this] { setAlpha(0); });
  indicator_->stopAnimating();
  removeFromSuperview();
}

void QLProgressHUD::setText(const std::string& text) {
  label_->setText(text);
  setNeedsLayout();
}

const std::string& QLProgressHUD::text() const { return label_->text(); }

void QLProgressHUD::layoutSubviews() {
  Rect b = bounds();
  Size indicator = indicator_->frame().size;
  double maxText = std::max(0.0, b.width() - 4 * kMargin);
  Size text = label_->text().empty() ? Size{} : label_->sizeThatFits(Size{maxText, 0});
  double contentW = std::max(indicator.width, text.width);
  double contentH = indicator.height + (text.height > 0 ? kGap + text.height : 0);
  double w = std::max(kMinimumBezelSide, contentW + 2 * kMargin);
  double h = std::max(kMinimumBezelSide, contentH + 2 * kMargin);
  w = std::min(w, b.width());
  bezel_->setFrame(Rect(b.midX() - w / 2, b.midY() - h / 2, w, h));
  double y = (h - contentH) / 2;
  indicator_->setFrame(Rect((w - indicator.width) / 2, y, indicator.width, indicator.height));
  label_->setFrame(Rect((w - text.width) / 2, y + indicator.height + kGap, text.width, text.height));
}

}  // namespace vexa

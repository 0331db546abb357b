#include "platform/ui/NavigationBar.h"

#include "platform/ui/Label.h"

namespace vexa {

NavigationBar::NavigationBar(Rect frame) : View(frame) {
  setBackgroundColor(Color::rgb255(247, 247, 247));
  titleLabel_ = Label::create();
  titleLabel_->setFont(Font::boldSystemFont(17));
  titleLabel_->setTextAlignment(TextAlignment::Center);
  addSubview(titleLabel_);
}

void NavigationBar::setTitleTextColor(Color color) { titleLabel_->setTextColor(color); }
void NavigationBar::setTitleFont(const Font& font) { titleLabel_->setFont(font); }

void NavigationBar::setTitle(const std::string& title) {
  titleLabel_->setText(title);
  setNeedsLayout();
}

void NavigationBar::layoutSubviews() {
  Rect b = bounds();
  titleLabel_->setFrame(Rect(60, 0, std::max(0.0, b.width() - 120), b.height()));
}

}  // namespace vexa

#include "vexa/platform/ui/NavigationBar.h"

#include <algorithm>

#include "vexa/platform/ui/Label.h"

namespace vexa {

NavigationBar::NavigationBar(Rect frame) : View(frame) {
  setBackgroundColor(Color::rgb255(247, 247, 247));
  titleLabel_ = Label::create();
  titleLabel_->setFont(Font::boldSystemFont(17));
  titleLabel_->setTextAlignment(TextAlignment::Center);
  titleLabel_->setAccessibilityIdentifier("title");
  addSubview(titleLabel_);
}

void NavigationBar::setTitleTextColor(Color color) { titleLabel_->setTextColor(color); }

void NavigationBar::setTitleFont(const Font& font) {
  titleLabel_->setFont(font);
  setNeedsLayout();
}

void NavigationBar::setItem(std::shared_ptr<NavigationItem> item) {
  if (item == item_) return;
  item_ = std::move(item);
  itemChanges_.reset();
  if (item_) {
    // The bar owns the item's subscription, so `this` outlives it.
    itemChanges_ = item_->observeChanges([this] { refresh(); });
  }
  refresh();
}

void NavigationBar::refresh() {
  titleLabel_->setText(item_ ? item_->title() : std::string());
  auto viewOf = [](const std::shared_ptr<BarButtonItem>& i) {
    return i ? i->view() : std::shared_ptr<View>();
  };
  std::shared_ptr<View> left = item_ ? viewOf(item_->leftBarButtonItem()) : nullptr;
  std::shared_ptr<View> right = item_ ? viewOf(item_->rightBarButtonItem()) : nullptr;
  for (auto* slot : {&leftView_, &rightView_}) {
    if (*slot && *slot != left && *slot != right && (*slot)->superview() == this)
      (*slot)->removeFromSuperview();
  }
  leftView_ = std::move(left);
  rightView_ = std::move(right);
  if (leftView_) addSubview(leftView_);
  if (rightView_) addSubview(rightView_);
  setNeedsLayout();
}

void NavigationBar::layoutSubviews() {
  Rect b = bounds();
  double leftEdge = 0, rightEdge = b.width();
  auto place = [&](const std::shared_ptr<View>& view, const std::shared_ptr<BarButtonItem>& item,
                   bool left) {
    if (!view || !item) return;
    Size s = item->preferredSize();
    s.height = std::min(s.height, b.height());
    double x = left ? kItemMargin : b.width() - kItemMargin - s.width;
    view->setFrame(Rect(x, (b.height() - s.height) / 2, s.width, s.height));
    if (left) leftEdge = x + s.width; else rightEdge = x;
  };
  if (item_) {
    place(leftView_, item_->leftBarButtonItem(), true);
    place(rightView_, item_->rightBarButtonItem(), false);
  }
  // Centred in the bar, narrowed symmetrically to clear both items.
  double inset = std::max({60.0, leftEdge + 8, b.width() - rightEdge + 8});
  titleLabel_->setFrame(Rect(inset, 0, std::max(0.0, b.width() - 2 * inset), b.height()));
}

void NavigationBar::draw(cairo_t* cr, const Rect&) const {
  // The bar's colour runs up under the status bar, as on the phone.
  const auto& color = backgroundColor();
  if (!color || superview() == nullptr || frame().y() < kStatusBarHeight) return;
  cairo_set_source_rgba(cr, color->red(), color->green(), color->blue(), color->alpha());
  cairo_rectangle(cr, 0, -kStatusBarHeight, bounds().width(), kStatusBarHeight);
  cairo_fill(cr);
}

}  // namespace vexa

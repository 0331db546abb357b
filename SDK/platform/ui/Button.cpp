#include "vexa/platform/ui/Button.h"

#include "vexa/platform/ui/ImagePainter.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/Label.h"

namespace vexa {

Button::Button(Rect frame) : Control(frame) {
  imageView_ = ImageView::create();
  imageView_->setContentMode(ContentMode::Center);
  titleLabel_ = Label::create();
  titleLabel_->setFont(Font::systemFont(15));
  titleLabel_->setTextColor(Color::whiteColor());
  titleLabel_->setTextAlignment(TextAlignment::Center);
  addSubview(imageView_);
  addSubview(titleLabel_);
}

void Button::setTitle(const std::string& title, unsigned state) {
  titles_[state] = title;
  refresh();
}
void Button::setTitleColor(Color color, unsigned state) {
  titleColors_[state] = color;
  refresh();
}
void Button::setImage(std::shared_ptr<const Image> image, unsigned state) {
  images_[state] = std::move(image);
  refresh();
}
void Button::setBackgroundImage(std::shared_ptr<const Image> image, unsigned state) {
  backgroundImages_[state] = std::move(image);
}
void Button::setTitleFont(const Font& font) {
  titleLabel_->setFont(font);
  setNeedsLayout();
}

void Button::setTitleColorFollowsTint(bool follows) { titleLabel_->setTextColorFollowsTint(follows); }

std::string Button::titleForState(unsigned state) const {
  return lookup(titles_, state).value_or(std::string());
}
Color Button::titleColorForState(unsigned state) const {
  return lookup(titleColors_, state).value_or(Color::whiteColor());
}
std::shared_ptr<const Image> Button::imageForState(unsigned state) const {
  return lookup(images_, state).value_or(nullptr);
}
std::shared_ptr<const Image> Button::backgroundImageForState(unsigned state) const {
  return lookup(backgroundImages_, state).value_or(nullptr);
}

void Button::setEnabled(bool enabled) {
  Control::setEnabled(enabled);
  refresh();
}
void Button::setSelected(bool selected) {
  Control::setSelected(selected);
  refresh();
}
void Button::setHighlighted(bool highlighted) {
  Control::setHighlighted(highlighted);
  refresh();
}

void Button::refresh() {
  unsigned s = state();
  titleLabel_->setText(titleForState(s));
  titleLabel_->setTextColor(titleColorForState(s));
  imageView_->setImage(imageForState(s));
  setNeedsLayout();
}

Size Button::sizeThatFits(Size) const {
  Size t = titleLabel_->sizeThatFits(Size{});
  Size i = imageView_->sizeThatFits(Size{});
  return Size{t.width + i.width, std::max(t.height, i.height)};
}

void Button::layoutSubviews() {
  Rect b = bounds();
  Size t = titleLabel_->sizeThatFits(Size{b.width(), 0});
  Size i = imageView_->sizeThatFits(Size{});
  t.width = std::min(t.width, std::max(0.0, b.width() - i.width));
  double x = b.midX() - (t.width + i.width) / 2;
  imageView_->setFrame(Rect(x, b.midY() - i.height / 2, i.width, i.height));
  titleLabel_->setFrame(Rect(x + i.width, b.midY() - t.height / 2, t.width, t.height));
}

void Button::draw(cairo_t* cr, const Rect&) const {
  if (auto bg = backgroundImageForState(state())) ImagePainter::draw(cr, *bg, bounds());
}

}  // namespace vexa

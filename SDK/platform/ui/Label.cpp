#include "vexa/platform/ui/Label.h"

#include "vexa/platform/ui/TextEngine.h"

namespace vexa {

Label::Label(Rect frame) : View(frame) { setUserInteractionEnabled(false); }

void Label::setText(std::string text) {
  text_ = std::move(text);
  setNeedsLayout();
}

void Label::setFont(const Font& font) {
  font_ = font;
  setNeedsLayout();
}

void Label::setNumberOfLines(int lines) { numberOfLines_ = lines < 0 ? 0 : lines; }

Size Label::sizeThatFits(Size size) const {
  double limit = numberOfLines_ == 1 ? 0 : size.width;
  Size s = TextEngine::shared().measure(text_, font_, limit, numberOfLines_);
  if (numberOfLines_ == 1 && size.width > 0 && s.width > size.width) s.width = size.width;
  return s;
}

double Label::heightForWidth(double width) const {
  return TextEngine::shared().measure(text_, font_, width, numberOfLines_).height;
}

void Label::draw(cairo_t* cr, const Rect&) const {
  Rect b = bounds();
  Size s = TextEngine::shared().measure(text_, font_, b.width(), numberOfLines_);
  double y = b.y() + (b.height() - s.height) / 2;
  TextEngine::shared().draw(cr, text_, font_, followsTint_ ? tintColor() : textColor_,
                            Rect(b.x(), y, b.width(), s.height),
                            alignment_, numberOfLines_);
}

}  // namespace vexa

// A label: text in one font and colour, aligned horizontally and centred
// vertically in its bounds, on one line or wrapped over several
// (numberOfLines 0 = as many as needed). Sizes come from TextEngine.
// Not interactive by default; an accessibility element whose label is its
// text. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "vexa/platform/Font.h"
#include "vexa/platform/ui/TextAlignment.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class Label : public View {
 public:
  explicit Label(Rect frame = {});
  static std::shared_ptr<Label> create(Rect frame = {}) { return std::make_shared<Label>(frame); }

  const std::string& text() const { return text_; }
  void setText(std::string text);
  const Font& font() const { return font_; }
  void setFont(const Font& font);
  Color textColor() const { return textColor_; }
  void setTextColor(Color color) { textColor_ = color; }
  // Draws the text in the tint colour instead (bar button titles).
  bool textColorFollowsTint() const { return followsTint_; }
  void setTextColorFollowsTint(bool follows) { followsTint_ = follows; }
  TextAlignment textAlignment() const { return alignment_; }
  void setTextAlignment(TextAlignment alignment) { alignment_ = alignment; }
  int numberOfLines() const { return numberOfLines_; }
  void setNumberOfLines(int lines);

  // Width limited by size.width (when positive); the height the text needs.
  Size sizeThatFits(Size size) const override;
  // Height of the text wrapped at `width` with the label's line limit.
  double heightForWidth(double width) const;

  void draw(cairo_t* cr, const Rect& rect) const override;

 protected:
  bool defaultIsAccessibilityElement() const override { return true; }
  std::string defaultAccessibilityLabel() const override { return text_; }

 private:
  std::string text_;
  Font font_ = Font::systemFont(17);
  Color textColor_ = Color::black();
  TextAlignment alignment_ = TextAlignment::Left;
  int numberOfLines_ = 1;
  bool followsTint_ = false;
};

}  // namespace vexa

#include "vexa/platform/ui/TextInputView.h"

#include <algorithm>
#include <cmath>

#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/ui/RichTextLayout.h"

namespace vexa {

namespace {
constexpr double kCaretWidth = 2;
constexpr double kSelectionAlpha = 0.25;
}  // namespace

TextInputView::TextInputView(Rect frame, bool multiline, EdgeInsets insets)
    : View(frame), multiline_(multiline), textInsets_(insets) {
  setClipsToBounds(true);
}

void TextInputView::textDidChange() {
  NotificationCenter::defaultCenter().post(textDidChangeNotificationName(),
                                           static_cast<const View*>(this));
}

std::unique_ptr<RichTextLayout> TextInputView::makeLayout(double viewWidth) const {
  const TextInput& model = input();
  double width = multiline_ ? std::max(1.0, viewWidth - textInsets_.left - textInsets_.right) : 0;
  return std::make_unique<RichTextLayout>(model.attributedText(), model.font().value_or(defaultFont()),
                                          model.textColor().value_or(Color::black()), width);
}

std::unique_ptr<RichTextLayout> TextInputView::makeLayout() const { return makeLayout(bounds().width()); }

Point TextInputView::textOrigin(const RichTextLayout& layout) const {
  Rect b = bounds();
  Rect caret = layout.caretRect(input().selectedRange().end());
  double visibleWidth = b.width() - textInsets_.left - textInsets_.right;
  double visibleHeight = b.height() - textInsets_.top - textInsets_.bottom;
  if (multiline_) {
    double scroll = std::max(0.0, caret.maxY() - visibleHeight);
    return Point{b.x() + textInsets_.left, b.y() + textInsets_.top - scroll};
  }
  double scroll = std::max(0.0, caret.x() + kCaretWidth - visibleWidth);
  double lineHeight = layout.size().height;
  return Point{b.x() + textInsets_.left - scroll,
               b.y() + textInsets_.top + (visibleHeight - lineHeight) / 2};
}

Size TextInputView::sizeThatFits(Size size) const {
  double width = size.width > 0 ? size.width : bounds().width();
  Size text = makeLayout(width)->size();
  return Size{multiline_ ? width : text.width + textInsets_.left + textInsets_.right,
              std::ceil(text.height) + textInsets_.top + textInsets_.bottom};
}

Rect TextInputView::caretRect() const {
  auto layout = makeLayout();
  Point origin = textOrigin(*layout);
  Rect caret = layout->caretRect(input().selectedRange().end());
  return Rect(origin.x + caret.x(), origin.y + caret.y(), kCaretWidth, caret.height());
}

void TextInputView::draw(cairo_t* cr, const Rect&) const {
  auto layout = makeLayout();
  Point origin = textOrigin(*layout);
  CharacterRange selection = input().selectedRange();
  Color tint = tintColor();
  if (isFirstResponder()) {
    if (selection.empty()) {
      Rect caret = layout->caretRect(selection.location);
      cairo_set_source_rgba(cr, tint.red(), tint.green(), tint.blue(), tint.alpha());
      cairo_rectangle(cr, origin.x + caret.x(), origin.y + caret.y(), kCaretWidth, caret.height());
      cairo_fill(cr);
    } else {
      cairo_set_source_rgba(cr, tint.red(), tint.green(), tint.blue(), kSelectionAlpha);
      for (const Rect& r : layout->selectionRects(selection))
        cairo_rectangle(cr, origin.x + r.x(), origin.y + r.y(), r.width(), r.height());
      cairo_fill(cr);
    }
  }
  layout->draw(cr, origin);
}

// A text input keeps its touches: a tap edits here, not in the superview.
void TextInputView::touchesBegan(const Touch&) {}
void TextInputView::touchesMoved(const Touch&) {}
void TextInputView::touchesCancelled(const Touch&) {}

void TextInputView::touchesEnded(const Touch& touch) {
  Point p = touch.locationIn(this);
  if (!pointInside(p)) return;
  if (!becomeFirstResponder()) return;
  auto layout = makeLayout();
  Point origin = textOrigin(*layout);
  size_t position = layout->positionAtPoint(Point{p.x - origin.x, p.y - origin.y});
  input().setSelectedRange({position, 0});
}

}  // namespace vexa

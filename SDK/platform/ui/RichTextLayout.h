// Rich text laid out with Pango, for the text inputs: runs in their fonts
// and colours (the defaults where a run has none), each attachment character
// as its image (the attachment's bounds, else the image's size, sitting on
// the baseline), wrapped at a width or kept on one line. It answers where
// the caret of a character position is and which position a point falls
// on, and draws itself.
//
// A short-lived object: make one for the text as it is now (it keeps its
// own copy, attachments included). Coordinates are the layout's own, in
// points, with (0, 0) at the top left of the first line. Main thread only.
#pragma once

#include <pango/pangocairo.h>

#include <vector>

#include "vexa/platform/AttributedString.h"
#include "vexa/platform/CharacterRange.h"
#include "vexa/platform/Color.h"
#include "vexa/platform/Font.h"
#include "vexa/platform/Geometry.h"

namespace vexa {

class RichTextLayout {
 public:
  // `width` <= 0 keeps the text on one line.
  RichTextLayout(AttributedString text, const Font& font, const Color& color, double width);
  ~RichTextLayout();
  RichTextLayout(const RichTextLayout&) = delete;
  RichTextLayout& operator=(const RichTextLayout&) = delete;

  // The size of the laid-out text; one line's height when empty.
  Size size() const;
  // The caret before the character at `position` (clamped to the text):
  // x and the line's top and height; zero width.
  Rect caretRect(size_t position) const;
  // The character position nearest to the point (a point on the right half
  // of a character is after it).
  size_t positionAtPoint(Point point) const;
  // One rectangle per line that the range covers.
  std::vector<Rect> selectionRects(CharacterRange range) const;
  // Lays out again for the surface's transform (the glyphs stay those
  // measured: no hinting), then draws.
  void draw(cairo_t* cr, Point origin);

 private:
  void build(const Font& font, double width);

  AttributedString text_;
  Color color_;
  PangoContext* context_ = nullptr;
  PangoLayout* layout_ = nullptr;
};

}  // namespace vexa

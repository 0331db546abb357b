// Measures and draws text with Pango on cairo.
//
// Results are deterministic: one private font map, 72 units per inch (a
// point is one unit), no hinting and no rounding of glyph positions, so a
// size measured here does not depend on the display or the drawing scale.
// Measurements are cached. Text is wrapped at word or character boundaries
// (CJK text has no spaces) and cut with an ellipsis at the end.
//
// One engine serves the process (the font map is expensive). Main thread
// only.
#pragma once

#include <pango/pangocairo.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "vexa/platform/Color.h"
#include "vexa/platform/Font.h"
#include "vexa/platform/Geometry.h"
#include "vexa/platform/ui/TextAlignment.h"

namespace vexa {

class TextEngine {
 public:
  static TextEngine& shared();

  // The size of `text` (rounded up to whole points). `maxWidth` <= 0 means
  // no limit; `numberOfLines` 0 means as many as needed, 1 means no wrapping.
  Size measure(const std::string& text, const Font& font, double maxWidth, int numberOfLines);
  // Draws within `rect` (top-aligned; the caller centres vertically).
  void draw(cairo_t* cr, const std::string& text, const Font& font, const Color& color,
            const Rect& rect, TextAlignment alignment, int numberOfLines);
  // Height of one line of the font.
  double lineHeight(const Font& font);

  // Wrapped text (as many lines as needed) whose byte ranges `spans` are
  // drawn underlined in their own colour: the links of a page.
  struct Span {
    size_t start = 0;
    size_t end = 0;
    Color color;
  };
  void drawWithSpans(cairo_t* cr, const std::string& text, const Font& font, const Color& color,
                     const Rect& rect, const std::vector<Span>& spans);
  // The byte offset of the character under `point` (relative to the top
  // left) in text wrapped at `width`; none beside the text.
  std::optional<size_t> indexAtPoint(const std::string& text, const Font& font, double width,
                                     Point point);

  // For other Pango users of the view layer (rich text): a new context set
  // up like the engine's own, updated for `cr` when given (unref it), and
  // the Pango description of a font (free it).
  PangoContext* createContext(cairo_t* cr = nullptr);
  static PangoFontDescription* fontDescription(const Font& font);

  size_t cacheSize() const { return cache_.size(); }

 private:
  TextEngine();
  PangoLayout* makeLayout(PangoContext* context, const std::string& text, const Font& font,
                          double maxWidth, int numberOfLines, TextAlignment alignment);
  void configure(PangoContext* context);
  void drawLayout(cairo_t* cr, const std::string& text, const Font& font, const Color& color,
                  const Rect& rect, TextAlignment alignment, int numberOfLines,
                  PangoAttrList* attributes);

  PangoFontMap* fontMap_;
  PangoContext* context_;
  cairo_font_options_t* options_;
  std::unordered_map<std::string, Size> cache_;
};

}  // namespace vexa

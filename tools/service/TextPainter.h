// Text of the sample art, laid out with Pango in the CJK font "WenQuanYi
// Micro Hei" (Chinese and Latin alike) with fixed font options, so that the
// pictures do not depend on the desktop's settings. One thread at a time.
#pragma once

#include <cairo.h>

#include <string_view>

#include "service/Canvas.h"

namespace vexa::service {

class TextPainter {
 public:
  static constexpr const char* kFontFamily = "WenQuanYi Micro Hei";

  // Draws the text centred in the box, shrunk until it fits its width, at
  // most `pixelSize` high; with an outline of the given width when > 0.
  static void centred(cairo_t* cr, std::string_view text, double x, double y, double width,
                      double height, double pixelSize, Rgb fill, Rgb outline = {1, 1, 1},
                      double outlineWidth = 0);
  // Draws the text from (x, y), wrapped at the width.
  static void paragraph(cairo_t* cr, std::string_view text, double x, double y, double width,
                        double pixelSize, Rgb fill, bool bold = false);
};

}  // namespace vexa::service

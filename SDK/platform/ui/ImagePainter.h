// Draws an Image (its first frame) into a rectangle of a cairo context,
// honouring its orientation; with a tint, the image's alpha is filled with
// the tint (a template image). Used by image views, buttons and the renderer.
#pragma once

#include <cairo.h>

#include "vexa/platform/Color.h"
#include "vexa/platform/Geometry.h"
#include "vexa/platform/Image.h"

namespace vexa {

class ImagePainter {
 public:
  static void draw(cairo_t* cr, const Image& image, const Rect& rect,
                   const Color* tint = nullptr);
};

}  // namespace vexa

// Draws an Image (its first frame) into a rectangle of a cairo context,
// honouring its orientation. Used by image views, buttons and the renderer.
#pragma once

#include <cairo.h>

#include "platform/Geometry.h"
#include "platform/Image.h"

namespace vexa {

class ImagePainter {
 public:
  static void draw(cairo_t* cr, const Image& image, const Rect& rect);
};

}  // namespace vexa

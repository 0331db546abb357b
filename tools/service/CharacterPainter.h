// Draws the characters of the sample sticker packages (a cat, a blob, a
// robot and weather scenes) in a pose chosen by a variant number and at a
// point of their animation cycle, so that stickers, covers, banners and
// icons share one look. Pure drawing; any thread with its own context.
#pragma once

#include <cairo.h>

#include "service/Canvas.h"

namespace vexa::service {

struct CharacterStyle {
  enum class Kind { Cat, Blob, Robot, Weather };
  Kind kind = Kind::Cat;
  Rgb colour = Rgb::hex(0xF6B26B);
};

class CharacterPainter {
 public:
  // Draws the character filling a square of `size` pixels at the origin;
  // `phase` runs from 0 to 1 over one animation cycle.
  static void paint(cairo_t* cr, double size, const CharacterStyle& style, int variant, double phase);
};

}  // namespace vexa::service

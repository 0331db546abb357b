// Draws the small emojis of the sample catalogue: round faces with a choice
// of eyes, mouth and an extra, and a few symbols (heart, star, sun...).
// Pure drawing into a given cairo context; any thread with its own context.
#pragma once

#include <cairo.h>

#include "service/Canvas.h"

namespace vexa::service {

struct FaceStyle {
  enum class Kind { Face, Heart, BrokenHeart, Star, Sun, Moon, Flower, Gift, Cake, Cup, Thumb, Clap };
  enum class Eyes { Dots, Happy, Closed, Wink, Hearts, Crosses, Wide, Shades };
  enum class Mouth { Smile, Grin, Frown, Open, Flat, Kiss, Wavy, Tongue };
  enum class Extra { None, Tear, Sweat, Blush, Zzz, Anger, Question };

  Kind kind = Kind::Face;
  Eyes eyes = Eyes::Dots;
  Mouth mouth = Mouth::Smile;
  Extra extra = Extra::None;
  Rgb colour = Rgb::hex(0xFFCC33);
};

class FacePainter {
 public:
  // Draws the emoji filling a square of `size` pixels at the origin. The
  // second frame of the animation (`blink`) closes a face's eyes or makes
  // a symbol pulse.
  static void paint(cairo_t* cr, double size, const FaceStyle& style, bool blink);
};

}  // namespace vexa::service

// Colour helpers: colours from the theme's hexadecimal strings, their
// components, and lighter or darker shades for drawing.
//
// Colours come in two forms (platform/Color.h): red-green-blue, and greys
// made from a white level. Shades keep the form: an RGB colour changes its
// brightness (hue, saturation and alpha kept), a grey its white level.
// Pure functions; safe on any thread.
#pragma once

#include <optional>
#include <string_view>

#include "vexa/platform/Color.h"

namespace vexa {

class QLEmotionColor {
 public:
  // "#5c5c5c", "5C5C5C", "0x5c5c5c", with blanks around: an opaque colour.
  // Anything else (three or eight digits, a pair that is no hexadecimal
  // number) gives none.
  static std::optional<Color> ql_colorWithHexColorString(std::string_view text);

  // Components as stored; a grey answers its white level for each.
  static double ql_red(const Color& c) { return c.red(); }
  static double ql_green(const Color& c) { return c.green(); }
  static double ql_blue(const Color& c) { return c.blue(); }
  static double ql_alpha(const Color& c) { return c.alpha(); }
  static bool ql_isClearColor(const Color& c) { return c == Color::clear(); }
  // True when the mean of red, green and blue is at least one half.
  static bool ql_isLighterColor(const Color& c) { return c.whiteLevel() >= 0.5; }

  // White gives a grey of level 0.99 and black one of 0.01 (so that a shade
  // of either shows); other colours get brightness (or white level) x 1.3,
  // at most 1.
  static Color ql_lighterColor(const Color& c);
  // White gives 0.99 and black 0.01 as above; others get x 0.75.
  static Color ql_darkerColor(const Color& c);

 private:
  static Color scaled(const Color& c, double factor);
};

}  // namespace vexa

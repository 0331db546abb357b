#include "vexa/platform/Color.h"

#include <algorithm>
#include <cmath>

namespace vexa {
namespace {
double clamp01(double v) { return std::isnan(v) ? 0 : std::clamp(v, 0.0, 1.0); }
}  // namespace

Color Color::rgb(double red, double green, double blue, double alpha) {
  Color c;
  c.space_ = Space::RGB;
  c.c0_ = clamp01(red);
  c.c1_ = clamp01(green);
  c.c2_ = clamp01(blue);
  c.alpha_ = clamp01(alpha);
  return c;
}

Color Color::rgb255(int red, int green, int blue, double alpha) {
  return rgb(red / 255.0, green / 255.0, blue / 255.0, alpha);
}

Color Color::white(double white, double alpha) {
  Color c;
  c.space_ = Space::White;
  c.c0_ = clamp01(white);
  c.alpha_ = clamp01(alpha);
  return c;
}

Color Color::withAlpha(double alpha) const {
  Color c = *this;
  c.alpha_ = clamp01(alpha);
  return c;
}

uint32_t Color::premultipliedArgb() const {
  auto byte = [](double v) { return static_cast<uint32_t>(std::lround(clamp01(v) * 255)); };
  uint32_t a = byte(alpha_);
  return (a << 24) | (byte(red() * alpha_) << 16) | (byte(green() * alpha_) << 8) |
         byte(blue() * alpha_);
}

std::ostream& operator<<(std::ostream& os, const Color& c) {
  if (c.isGrey()) return os << "white(" << c.whiteLevel() << ", " << c.alpha() << ")";
  return os << "rgb(" << c.red() << ", " << c.green() << ", " << c.blue() << ", " << c.alpha()
            << ")";
}

}  // namespace vexa

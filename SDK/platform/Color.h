// A colour that remembers how it was made: from red, green and blue, or as a
// grey from a white level (two components: white and alpha), as the
// platform's colours do; some colour helpers behave differently for each.
// Components are in 0...1.
#pragma once

#include <cstdint>
#include <ostream>

namespace vexa {

class Color {
 public:
  enum class Space { RGB, White };

  Color() = default;  // clear: white level 0, alpha 0
  static Color rgb(double red, double green, double blue, double alpha = 1.0);
  // 0...255 components, as hex colours give them.
  static Color rgb255(int red, int green, int blue, double alpha = 1.0);
  static Color white(double white, double alpha = 1.0);

  static Color clear() { return Color(); }
  static Color black() { return white(0); }
  static Color whiteColor() { return white(1); }

  Space space() const { return space_; }
  bool isGrey() const { return space_ == Space::White; }
  // For a grey, each of red/green/blue answers its white level.
  double red() const { return c0_; }
  double green() const { return isGrey() ? c0_ : c1_; }
  double blue() const { return isGrey() ? c0_ : c2_; }
  // The white level of a grey; for an RGB colour, the mean of its components.
  double whiteLevel() const { return isGrey() ? c0_ : (c0_ + c1_ + c2_) / 3; }
  double alpha() const { return alpha_; }

  Color withAlpha(double alpha) const;
  // 0xAARRGGBB, premultiplied as cairo stores pixels.
  uint32_t premultipliedArgb() const;

  bool operator==(const Color& other) const = default;

 private:
  Space space_ = Space::White;
  double c0_ = 0, c1_ = 0, c2_ = 0;
  double alpha_ = 0;
};

std::ostream& operator<<(std::ostream& os, const Color& c);

}  // namespace vexa

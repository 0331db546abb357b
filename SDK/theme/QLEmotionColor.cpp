#include "vexa/theme/QLEmotionColor.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "vexa/platform/CharacterSet.h"

namespace vexa {
namespace {

std::optional<int> hexPair(std::string_view s) {
  int value = 0;
  for (char ch : s) {
    int digit;
    if (ch >= '0' && ch <= '9') {
      digit = ch - '0';
    } else if (ch >= 'A' && ch <= 'F') {
      digit = ch - 'A' + 10;
    } else {
      return std::nullopt;
    }
    value = value * 16 + digit;
  }
  return value;
}

struct Hsb {
  double hue, saturation, brightness;
};

Hsb toHsb(double r, double g, double b) {
  double max = std::max({r, g, b}), min = std::min({r, g, b}), delta = max - min;
  Hsb out{0, max == 0 ? 0 : delta / max, max};
  if (delta > 0) {
    double h;
    if (max == r) {
      h = std::fmod((g - b) / delta, 6.0);
    } else if (max == g) {
      h = (b - r) / delta + 2;
    } else {
      h = (r - g) / delta + 4;
    }
    out.hue = (h < 0 ? h + 6 : h) / 6;
  }
  return out;
}

Color fromHsb(const Hsb& c, double alpha) {
  double h = c.hue * 6, s = c.saturation, v = c.brightness;
  int sector = static_cast<int>(std::floor(h)) % 6;
  double f = h - std::floor(h), p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
  switch (sector) {
    case 0: return Color::rgb(v, t, p, alpha);
    case 1: return Color::rgb(q, v, p, alpha);
    case 2: return Color::rgb(p, v, t, alpha);
    case 3: return Color::rgb(p, q, v, alpha);
    case 4: return Color::rgb(t, p, v, alpha);
    default: return Color::rgb(v, p, q, alpha);
  }
}

}  // namespace

std::optional<Color> QLEmotionColor::ql_colorWithHexColorString(std::string_view text) {
  static const CharacterSet kBlanks = CharacterSet::whitespaceAndNewlines();
  std::string s(kBlanks.trim(text));
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
  if (s.size() < 6) return std::nullopt;
  std::string_view digits(s);
  if (digits.starts_with("0X")) digits.remove_prefix(2);
  if (digits.starts_with("#")) digits.remove_prefix(1);
  if (digits.size() != 6) return std::nullopt;
  auto r = hexPair(digits.substr(0, 2)), g = hexPair(digits.substr(2, 2)), b = hexPair(digits.substr(4, 2));
  if (!r || !g || !b) return std::nullopt;
  return Color::rgb255(*r, *g, *b);
}

Color QLEmotionColor::scaled(const Color& c, double factor) {
  if (c == Color::whiteColor()) return Color::white(0.99);
  if (c == Color::black()) return Color::white(0.01);
  if (c.isGrey()) return Color::white(std::clamp(c.whiteLevel() * factor, 0.0, 1.0), c.alpha());
  Hsb hsb = toHsb(c.red(), c.green(), c.blue());
  hsb.brightness = std::clamp(hsb.brightness * factor, 0.0, 1.0);
  return fromHsb(hsb, c.alpha());
}

Color QLEmotionColor::ql_lighterColor(const Color& c) { return scaled(c, 1.3); }
Color QLEmotionColor::ql_darkerColor(const Color& c) { return scaled(c, 0.75); }

}  // namespace vexa

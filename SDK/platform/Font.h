// A font as the SDK's theme and views name it: a family, a size in points
// and a weight. Measuring and drawing text with it is the view layer's job
// (Pango); this is only the value.
#pragma once

#include <ostream>
#include <string>

namespace vexa {

struct Font {
  // The system font: a sans-serif family that covers CJK text.
  static constexpr const char* kSystemFamily = "WenQuanYi Micro Hei";

  std::string family = kSystemFamily;
  double pointSize = 17;
  bool bold = false;

  static Font systemFont(double size) { return Font{kSystemFamily, size, false}; }
  static Font boldSystemFont(double size) { return Font{kSystemFamily, size, true}; }

  bool operator==(const Font&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Font& f) {
  return os << f.family << " " << f.pointSize << (f.bold ? " bold" : "");
}

}  // namespace vexa

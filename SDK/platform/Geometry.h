// Geometry value types in points: Point, Size, Rect, EdgeInsets.
//
// Rects are half-open: a rect contains the points with minX <= x < maxX and
// minY <= y < maxY. The y axis points down (screen coordinates). A rect with
// a zero or negative width or height is empty. All values are doubles.
#pragma once

#include <algorithm>
#include <cmath>
#include <ostream>

namespace vexa {

struct Point {
  double x = 0;
  double y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  double width = 0;
  double height = 0;
  bool operator==(const Size&) const = default;
  bool isEmpty() const { return width <= 0 || height <= 0; }
};

struct EdgeInsets {
  double top = 0;
  double left = 0;
  double bottom = 0;
  double right = 0;
  bool operator==(const EdgeInsets&) const = default;
};

struct Rect {
  Point origin;
  Size size;

  Rect() = default;
  Rect(Point o, Size s) : origin(o), size(s) {}
  Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}

  double x() const { return origin.x; }
  double y() const { return origin.y; }
  double width() const { return size.width; }
  double height() const { return size.height; }
  double minX() const { return origin.x; }
  double minY() const { return origin.y; }
  double maxX() const { return origin.x + size.width; }
  double maxY() const { return origin.y + size.height; }
  double midX() const { return origin.x + size.width / 2; }
  double midY() const { return origin.y + size.height / 2; }
  Point center() const { return {midX(), midY()}; }

  bool isEmpty() const { return size.isEmpty(); }
  bool contains(Point p) const {
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
  }
  // True when the two rects share an area (touching edges do not count).
  bool intersects(const Rect& r) const {
    return !isEmpty() && !r.isEmpty() && minX() < r.maxX() && r.minX() < maxX() &&
           minY() < r.maxY() && r.minY() < maxY();
  }
  Rect intersection(const Rect& r) const {
    double x0 = std::max(minX(), r.minX()), y0 = std::max(minY(), r.minY());
    double x1 = std::min(maxX(), r.maxX()), y1 = std::min(maxY(), r.maxY());
    if (x1 <= x0 || y1 <= y0) return Rect();
    return Rect(x0, y0, x1 - x0, y1 - y0);
  }
  // Smallest rect holding both; an empty rect does not count.
  Rect unionWith(const Rect& r) const {
    if (isEmpty()) return r;
    if (r.isEmpty()) return *this;
    double x0 = std::min(minX(), r.minX()), y0 = std::min(minY(), r.minY());
    double x1 = std::max(maxX(), r.maxX()), y1 = std::max(maxY(), r.maxY());
    return Rect(x0, y0, x1 - x0, y1 - y0);
  }
  Rect offsetBy(double dx, double dy) const { return Rect(x() + dx, y() + dy, width(), height()); }
  Rect insetBy(double dx, double dy) const {
    return Rect(x() + dx, y() + dy, width() - 2 * dx, height() - 2 * dy);
  }
  Rect inset(const EdgeInsets& e) const {
    return Rect(x() + e.left, y() + e.top, width() - e.left - e.right,
                height() - e.top - e.bottom);
  }

  bool operator==(const Rect&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Point& p) {
  return os << "{" << p.x << ", " << p.y << "}";
}
inline std::ostream& operator<<(std::ostream& os, const Size& s) {
  return os << "{" << s.width << ", " << s.height << "}";
}
inline std::ostream& operator<<(std::ostream& os, const Rect& r) {
  return os << "{" << r.origin << ", " << r.size << "}";
}
inline std::ostream& operator<<(std::ostream& os, const EdgeInsets& e) {
  return os << "{" << e.top << ", " << e.left << ", " << e.bottom << ", " << e.right << "}";
}

}  // namespace vexa

// A cairo image surface with its drawing context, owned together (RAII),
// for the sample catalogue's art. One thread at a time.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

#include "vexa/platform/Result.h"

namespace vexa::service {

// A colour of the sample art, channels 0...1.
struct Rgb {
  double r, g, b;
  static Rgb hex(uint32_t rgb) {
    return {((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0};
  }
  Rgb mixed(Rgb other, double t) const {
    return {r + (other.r - r) * t, g + (other.g - g) * t, b + (other.b - b) * t};
  }
  void use(cairo_t* cr, double alpha = 1) const { cairo_set_source_rgba(cr, r, g, b, alpha); }
};

class Canvas {
 public:
  // A transparent ARGB32 canvas of the given size in pixels.
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Premultiplied ARGB pixel at (x, y). Call flush() after drawing first.
  uint32_t pixel(int x, int y) const;
  // Finishes pending drawing so that pixel() sees it.
  void flush() const { cairo_surface_flush(surface_); }

  // The picture as PNG bytes.
  Result<std::string> png() const;

 private:
  int width_;
  int height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

}  // namespace vexa::service

// The SDK's built-in pictures, drawn with cairo at any pixel size.
#pragma once

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

namespace resgen {

// Draws a picture into a context whose user space is w x h pixels.
using Draw = std::function<void(cairo_t* cr, double w, double h)>;

struct Picture {
  std::string name;
  Draw draw;
  // Pixel sizes at @2x and @3x.
  int w2, h2, w3, h3;
};

// The PNG pictures compiled into the library.
std::vector<Picture> builtinPictures();
// The PNG pictures of the resource bundle.
std::vector<Picture> bundlePictures();

// One frame of the loading animation (frame of `frames`).
void drawLoadingFrame(cairo_t* cr, double w, double h, int frame, int frames);
// The two ends of the animation's colour ramp (0...1 RGB).
struct Rgb {
  double r, g, b;
};
constexpr Rgb kLoadingLight{0.90, 0.90, 0.90};
constexpr Rgb kLoadingDark{0x36 / 255.0, 0xca / 255.0, 0xb6 / 255.0};

}  // namespace resgen

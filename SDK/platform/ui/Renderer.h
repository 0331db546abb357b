// Draws a view tree with cairo: into a bitmap (to read pixels) or a PNG
// file. Each view draws, in its bounds coordinates: shadow, background
// (with rounded corners), its own content (draw() and the draw handler),
// its subviews (clipped when it clips to bounds), then its border. Alpha
// applies to the view and everything under it. Hidden views are skipped.
// The tree is laid out (layoutIfNeeded) first. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "vexa/platform/Image.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class Renderer {
 public:
  // `scale` device pixels per point (the screen scale).
  explicit Renderer(double scale = 1) : scale_(scale) {}

  // A bitmap of the view's bounds size times the scale, transparent where
  // nothing is drawn.
  Result<std::shared_ptr<Bitmap>> renderToBitmap(View& view) const;
  // Writes a PNG file; errors carry the cairo status text.
  Status renderToPng(View& view, const std::string& path) const;

  // Draws a view (its frame position ignored) into a context whose user
  // space is the view's superview space at the view's origin.
  static void drawView(cairo_t* cr, const View& view);
  // Adds a rounded rectangle to the current path, the radius limited to half
  // the shorter side (a plain rectangle for 0), as views round their corners.
  static void addRoundedRect(cairo_t* cr, const Rect& rect, double radius);

 private:
  double scale_;
};

}  // namespace vexa

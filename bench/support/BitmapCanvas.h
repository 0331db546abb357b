// A cairo context drawing into a Bitmap, for baselines drawn by hand:
// made with the bitmap, scaled to points, destroyed with the canvas.
#pragma once

#include <cairo.h>

#include "vexa/platform/Image.h"

namespace vexa::bench {

class BitmapCanvas {
 public:
  BitmapCanvas(Bitmap& bitmap, double scale)
      : surface_(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(bitmap.pixels()),
                                                     CAIRO_FORMAT_ARGB32, bitmap.width(), bitmap.height(),
                                                     bitmap.stride())),
        cr_(cairo_create(surface_)) {
    cairo_scale(cr_, scale, scale);
  }
  ~BitmapCanvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  BitmapCanvas(const BitmapCanvas&) = delete;
  BitmapCanvas& operator=(const BitmapCanvas&) = delete;

  cairo_t* get() const { return cr_; }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

}  // namespace vexa::bench

#include "vexa/platform/ui/ImagePainter.h"

namespace vexa {

void ImagePainter::draw(cairo_t* cr, const Image& image, const Rect& rect, const Color* tint) {
  if (rect.isEmpty()) return;
  const Bitmap& bitmap = image.bitmap();
  // cairo only reads from a source surface; the cast does not lead to writes.
  auto* data = reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(bitmap.pixels()));
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      data, CAIRO_FORMAT_ARGB32, bitmap.width(), bitmap.height(), bitmap.stride());
  double pw = bitmap.width(), ph = bitmap.height();
  bool swapped = false;
  cairo_save(cr);
  cairo_rectangle(cr, rect.x(), rect.y(), rect.width(), rect.height());
  cairo_clip(cr);
  cairo_translate(cr, rect.x(), rect.y());
  // Map the upright picture's unit square onto the rect, then undo the
  // stored orientation.
  switch (image.orientation()) {
    case ImageOrientation::Up: break;
    case ImageOrientation::Down:
      cairo_translate(cr, rect.width(), rect.height()); cairo_rotate(cr, M_PI); break;
    case ImageOrientation::Left:
      cairo_translate(cr, 0, rect.height()); cairo_rotate(cr, -M_PI / 2); swapped = true; break;
    case ImageOrientation::Right:
      cairo_translate(cr, rect.width(), 0); cairo_rotate(cr, M_PI / 2); swapped = true; break;
    case ImageOrientation::UpMirrored:
      cairo_translate(cr, rect.width(), 0); cairo_scale(cr, -1, 1); break;
    case ImageOrientation::DownMirrored:
      cairo_translate(cr, 0, rect.height()); cairo_scale(cr, 1, -1); break;
    case ImageOrientation::LeftMirrored:
      cairo_translate(cr, rect.width(), rect.height()); cairo_rotate(cr, -M_PI / 2);
      cairo_scale(cr, -1, 1); swapped = true; break;
    case ImageOrientation::RightMirrored:
      cairo_rotate(cr, M_PI / 2); cairo_scale(cr, 1, -1); swapped = true; break;
  }
  double w = swapped ? rect.height() : rect.width();
  double h = swapped ? rect.width() : rect.height();
  cairo_scale(cr, w / pw, h / ph);
  if (tint) {
    cairo_set_source_rgba(cr, tint->red(), tint->green(), tint->blue(), tint->alpha());
    cairo_pattern_t* mask = cairo_pattern_create_for_surface(surface);
    cairo_pattern_set_filter(mask, CAIRO_FILTER_GOOD);
    cairo_mask(cr, mask);
    cairo_pattern_destroy(mask);
  } else {
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
  }
  cairo_restore(cr);
  cairo_surface_destroy(surface);
}

}  // namespace vexa

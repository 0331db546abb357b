#include "vexa/platform/ui/Renderer.h"

#include <cmath>

#include "vexa/platform/MainQueue.h"

namespace vexa {

namespace {
constexpr const char* kRenderErrorDomain = "VXRenderErrorDomain";
constexpr int kMaxPixels = 16384;

void roundedRect(cairo_t* cr, const Rect& r, double radius) { Renderer::addRoundedRect(cr, r, radius); }

void setColor(cairo_t* cr, const Color& c, double alpha = 1) {
  cairo_set_source_rgba(cr, c.red(), c.green(), c.blue(), c.alpha() * alpha);
}

// A soft shadow: the shape repeated a few times, growing and fading.
void drawShadow(cairo_t* cr, const View& v, const Rect& b) {
  const Shadow& s = v.shadow();
  if (s.opacity <= 0 || !v.backgroundColor()) return;
  int steps = std::max(1, static_cast<int>(std::ceil(s.radius)));
  for (int i = steps; i >= 1; --i) {
    double grow = i;
    Rect r(b.x() + s.offset.width - grow / 2, b.y() + s.offset.height - grow / 2,
           b.width() + grow, b.height() + grow);
    roundedRect(cr, r, v.cornerRadius() + grow / 2);
    setColor(cr, s.color, s.opacity / (steps + 1));
    cairo_fill(cr);
  }
}
}  // namespace

void Renderer::addRoundedRect(cairo_t* cr, const Rect& r, double radius) {
  radius = std::min({radius, r.width() / 2, r.height() / 2});
  if (radius <= 0) {
    cairo_rectangle(cr, r.x(), r.y(), r.width(), r.height());
    return;
  }
  cairo_new_sub_path(cr);
  cairo_arc(cr, r.maxX() - radius, r.minY() + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, r.maxX() - radius, r.maxY() - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, r.minX() + radius, r.maxY() - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, r.minX() + radius, r.minY() + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void Renderer::drawView(cairo_t* cr, const View& v) {
  if (v.isHidden() || v.alpha() <= 0) return;
  Rect b = v.bounds();
  cairo_save(cr);
  cairo_translate(cr, -b.x(), -b.y());
  bool group = v.alpha() < 1;
  if (group) cairo_push_group(cr);
  drawShadow(cr, v, b);
  if (const auto& bg = v.backgroundColor(); bg && bg->alpha() > 0) {
    roundedRect(cr, b, v.cornerRadius());
    setColor(cr, *bg);
    cairo_fill(cr);
  }
  cairo_save(cr);
  if (v.clipsToBounds()) {
    roundedRect(cr, b, v.cornerRadius());
    cairo_clip(cr);
  }
  cairo_save(cr);
  v.draw(cr, b);
  cairo_restore(cr);
  if (const auto& handler = v.drawHandler()) {
    cairo_save(cr);
    handler(cr, b);
    cairo_restore(cr);
  }
  for (const auto& child : v.subviews()) {
    if (child->isHidden()) continue;
    Rect f = child->frame();
    if (v.clipsToBounds() && !f.intersects(b)) continue;
    cairo_save(cr);
    cairo_translate(cr, f.x(), f.y());
    drawView(cr, *child);
    cairo_restore(cr);
  }
  cairo_restore(cr);
  if (v.borderWidth() > 0) {
    double w = v.borderWidth();
    roundedRect(cr, b.insetBy(w / 2, w / 2), std::max(0.0, v.cornerRadius() - w / 2));
    cairo_set_line_width(cr, w);
    setColor(cr, v.borderColor());
    cairo_stroke(cr);
  }
  if (group) {
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, v.alpha());
  }
  cairo_restore(cr);
}

Result<std::shared_ptr<Bitmap>> Renderer::renderToBitmap(View& view) const {
  VX_ASSERT_MAIN_THREAD();
  view.layoutIfNeeded();
  Size size = view.bounds().size;
  double w = std::ceil(size.width * scale_), h = std::ceil(size.height * scale_);
  if (!(w >= 1 && h >= 1) || w > kMaxPixels || h > kMaxPixels)
    return Error(kRenderErrorDomain, 1, "Cannot render a view of this size");
  auto bitmap = std::make_shared<Bitmap>(static_cast<int>(w), static_cast<int>(h));
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(bitmap->pixels()), CAIRO_FORMAT_ARGB32, bitmap->width(),
      bitmap->height(), bitmap->stride());
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale_, scale_);
  drawView(cr, view);
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS)
    return Error(kRenderErrorDomain, status, cairo_status_to_string(status));
  return bitmap;
}

Status Renderer::renderToPng(View& view, const std::string& path) const {
  auto bitmap = renderToBitmap(view);
  if (!bitmap) return bitmap.error();
  auto& bm = **bitmap;
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(bm.pixels()), CAIRO_FORMAT_ARGB32, bm.width(), bm.height(),
      bm.stride());
  cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS)
    return Error(kRenderErrorDomain, status,
                 std::string("Cannot write ") + path + ": " + cairo_status_to_string(status));
  return Status::Ok();
}

}  // namespace vexa

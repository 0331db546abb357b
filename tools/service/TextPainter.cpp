#include "service/TextPainter.h"

#include <pango/pangocairo.h>

#include <memory>

namespace vexa::service {

namespace {

struct LayoutDeleter {
  void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

LayoutPtr makeLayout(cairo_t* cr, std::string_view text, double pixelSize, bool bold) {
  LayoutPtr layout(pango_cairo_create_layout(cr));
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(pango_layout_get_context(layout.get()), options);
  cairo_font_options_destroy(options);
  pango_layout_context_changed(layout.get());

  PangoFontDescription* font = pango_font_description_new();
  pango_font_description_set_family(font, TextPainter::kFontFamily);
  pango_font_description_set_weight(font, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_absolute_size(font, pixelSize * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), font);
  pango_font_description_free(font);
  pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
  return layout;
}

}  // namespace

void TextPainter::centred(cairo_t* cr, std::string_view text, double x, double y, double width,
                          double height, double pixelSize, Rgb fill, Rgb outline, double outlineWidth) {
  double size = pixelSize;
  LayoutPtr layout = makeLayout(cr, text, size, true);
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout.get(), &w, &h);
  while (w > width && size > 6) {
    size *= 0.9;
    layout = makeLayout(cr, text, size, true);
    pango_layout_get_pixel_size(layout.get(), &w, &h);
  }
  cairo_save(cr);
  cairo_move_to(cr, x + (width - w) / 2, y + (height - h) / 2);
  if (outlineWidth > 0) {
    pango_cairo_layout_path(cr, layout.get());
    outline.use(cr);
    cairo_set_line_width(cr, outlineWidth);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    fill.use(cr);
    cairo_fill(cr);
  } else {
    fill.use(cr);
    pango_cairo_show_layout(cr, layout.get());
  }
  cairo_restore(cr);
}

void TextPainter::paragraph(cairo_t* cr, std::string_view text, double x, double y, double width,
                            double pixelSize, Rgb fill, bool bold) {
  LayoutPtr layout = makeLayout(cr, text, pixelSize, bold);
  pango_layout_set_width(layout.get(), static_cast<int>(width * PANGO_SCALE));
  pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
  cairo_save(cr);
  cairo_move_to(cr, x, y);
  fill.use(cr);
  pango_cairo_show_layout(cr, layout.get());
  cairo_restore(cr);
}

}  // namespace vexa::service

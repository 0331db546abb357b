#include "vexa/platform/ui/TextEngine.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "vexa/platform/MainQueue.h"

namespace vexa {

namespace {
constexpr size_t kCacheLimit = 4096;

struct LayoutDeleter {
  void operator()(PangoLayout* l) const { g_object_unref(l); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;
}  // namespace

TextEngine& TextEngine::shared() {
  static TextEngine* engine = new TextEngine();  // lives as long as the process
  return *engine;
}

TextEngine::TextEngine() {
  fontMap_ = pango_cairo_font_map_new();
  options_ = cairo_font_options_create();
  cairo_font_options_set_hint_style(options_, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options_, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options_, CAIRO_ANTIALIAS_GRAY);
  context_ = pango_font_map_create_context(fontMap_);
  configure(context_);
}

void TextEngine::configure(PangoContext* context) {
  pango_cairo_context_set_resolution(context, 72);
  pango_cairo_context_set_font_options(context, options_);
  pango_context_set_round_glyph_positions(context, FALSE);
  pango_context_set_base_dir(context, PANGO_DIRECTION_LTR);
}

PangoLayout* TextEngine::makeLayout(PangoContext* context, const std::string& text,
                                    const Font& font, double maxWidth, int numberOfLines,
                                    TextAlignment alignment) {
  PangoLayout* layout = pango_layout_new(context);
  PangoFontDescription* desc = fontDescription(font);
  pango_layout_set_font_description(layout, desc);
  pango_font_description_free(desc);
  // Pango wants valid UTF-8; bad bytes would be dropped with a warning.
  const char* end = nullptr;
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), &end)) {
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
  } else {
    gchar* fixed = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    pango_layout_set_text(layout, fixed, -1);
    g_free(fixed);
  }
  if (maxWidth > 0) {
    pango_layout_set_width(layout, static_cast<int>(std::floor(maxWidth * PANGO_SCALE)));
    if (numberOfLines == 1) {
      pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    } else {
      pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
      if (numberOfLines > 1) {
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        pango_layout_set_height(layout, -numberOfLines);
      }
    }
  }
  switch (alignment) {
    case TextAlignment::Left: pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT); break;
    case TextAlignment::Center: pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER); break;
    case TextAlignment::Right: pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT); break;
  }
  return layout;
}

PangoFontDescription* TextEngine::fontDescription(const Font& font) {
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, font.family.c_str());
  pango_font_description_set_absolute_size(desc, font.pointSize * PANGO_SCALE);
  pango_font_description_set_weight(desc, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  return desc;
}

PangoContext* TextEngine::createContext(cairo_t* cr) {
  VX_ASSERT_MAIN_THREAD();
  PangoContext* context = pango_font_map_create_context(fontMap_);
  configure(context);
  if (cr) pango_cairo_update_context(cr, context);
  return context;
}

Size TextEngine::measure(const std::string& text, const Font& font, double maxWidth,
                         int numberOfLines) {
  VX_ASSERT_MAIN_THREAD();
  if (text.empty()) return Size{0, 0};
  std::ostringstream key;
  key << font.family << '\x1f' << font.pointSize << '\x1f' << font.bold << '\x1f' << maxWidth
      << '\x1f' << numberOfLines << '\x1f' << text;
  std::string k = key.str();
  if (auto it = cache_.find(k); it != cache_.end()) return it->second;

  LayoutPtr layout(makeLayout(context_, text, font, maxWidth, numberOfLines, TextAlignment::Left));
  PangoRectangle logical;
  pango_layout_get_extents(layout.get(), nullptr, &logical);
  Size size{std::ceil(static_cast<double>(logical.width) / PANGO_SCALE),
            std::ceil(static_cast<double>(logical.height) / PANGO_SCALE)};
  if (maxWidth > 0) size.width = std::min(size.width, std::ceil(maxWidth));
  if (cache_.size() >= kCacheLimit) cache_.clear();
  cache_.emplace(std::move(k), size);
  return size;
}

double TextEngine::lineHeight(const Font& font) { return measure("Ag", font, 0, 1).height; }

void TextEngine::draw(cairo_t* cr, const std::string& text, const Font& font, const Color& color,
                      const Rect& rect, TextAlignment alignment, int numberOfLines) {
  drawLayout(cr, text, font, color, rect, alignment, numberOfLines, nullptr);
}

void TextEngine::drawLayout(cairo_t* cr, const std::string& text, const Font& font,
                            const Color& color, const Rect& rect, TextAlignment alignment,
                            int numberOfLines, PangoAttrList* attributes) {
  VX_ASSERT_MAIN_THREAD();
  if (text.empty() || rect.isEmpty()) return;
  PangoContext* context = createContext(cr);
  LayoutPtr layout(makeLayout(context, text, font, rect.width(), numberOfLines, alignment));
  if (attributes) pango_layout_set_attributes(layout.get(), attributes);
  cairo_save(cr);
  cairo_set_source_rgba(cr, color.red(), color.green(), color.blue(), color.alpha());
  cairo_move_to(cr, rect.x(), rect.y());
  pango_cairo_show_layout(cr, layout.get());
  cairo_restore(cr);
  layout.reset();
  g_object_unref(context);
}

void TextEngine::drawWithSpans(cairo_t* cr, const std::string& text, const Font& font,
                               const Color& color, const Rect& rect, const std::vector<Span>& spans) {
  PangoAttrList* attributes = pango_attr_list_new();
  auto channel = [](double v) {
    return static_cast<guint16>(std::lround(std::clamp(v, 0.0, 1.0) * 65535));
  };
  for (const auto& span : spans) {
    if (span.start >= span.end || span.end > text.size()) continue;
    for (PangoAttribute* a : {pango_attr_underline_new(PANGO_UNDERLINE_SINGLE),
                              pango_attr_foreground_new(channel(span.color.red()),
                                                        channel(span.color.green()),
                                                        channel(span.color.blue()))}) {
      a->start_index = static_cast<guint>(span.start);
      a->end_index = static_cast<guint>(span.end);
      pango_attr_list_insert(attributes, a);
    }
  }
  drawLayout(cr, text, font, color, rect, TextAlignment::Left, 0, attributes);
  pango_attr_list_unref(attributes);
}

std::optional<size_t> TextEngine::indexAtPoint(const std::string& text, const Font& font,
                                               double width, Point point) {
  VX_ASSERT_MAIN_THREAD();
  if (text.empty() || width <= 0) return std::nullopt;
  LayoutPtr layout(makeLayout(context_, text, font, width, 0, TextAlignment::Left));
  int index = 0, trailing = 0;
  bool inside = pango_layout_xy_to_index(layout.get(), static_cast<int>(point.x * PANGO_SCALE),
                                         static_cast<int>(point.y * PANGO_SCALE), &index, &trailing);
  if (!inside || index < 0) return std::nullopt;
  return static_cast<size_t>(index);
}

}  // namespace vexa

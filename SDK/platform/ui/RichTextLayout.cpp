#include "vexa/platform/ui/RichTextLayout.h"

#include <algorithm>
#include <cmath>

#include "vexa/platform/TextAttachment.h"
#include "vexa/platform/ui/ImagePainter.h"
#include "vexa/platform/ui/TextEngine.h"

namespace vexa {

namespace {

guint16 channel(double v) { return static_cast<guint16>(std::lround(std::clamp(v, 0.0, 1.0) * 65535)); }

void insert(PangoAttrList* list, PangoAttribute* attribute, size_t start, size_t end) {
  attribute->start_index = static_cast<guint>(start);
  attribute->end_index = static_cast<guint>(end);
  pango_attr_list_insert(list, attribute);
}

// The attachment's rectangle relative to the baseline, in Pango units (y
// grows downwards in Pango, upwards in attachment bounds).
PangoRectangle shapeRect(const TextAttachment& attachment) {
  Rect b = attachment.attachmentBounds();
  if (b.size.width <= 0 || b.size.height <= 0) {
    Size s = attachment.image() ? attachment.image()->size() : Size{};
    b = Rect(0, 0, s.width, s.height);
  }
  return PangoRectangle{0, static_cast<int>(std::lround(-(b.y() + b.height()) * PANGO_SCALE)),
                        static_cast<int>(std::lround(b.width() * PANGO_SCALE)),
                        static_cast<int>(std::lround(b.height() * PANGO_SCALE))};
}

// Pango leaves shapes to the application: draw the attachment's image in the
// shape's rectangle at the current point (the run's baseline).
void renderShape(cairo_t* cr, PangoAttrShape* attr, gboolean doPath, gpointer) {
  if (doPath || !attr->data) return;
  const auto* attachment = static_cast<const TextAttachment*>(attr->data);
  if (!attachment->image()) return;
  double x = 0, y = 0;
  cairo_get_current_point(cr, &x, &y);
  const PangoRectangle& r = attr->logical_rect;
  ImagePainter::draw(cr, *attachment->image(),
                     Rect(x + static_cast<double>(r.x) / PANGO_SCALE,
                          y + static_cast<double>(r.y) / PANGO_SCALE,
                          static_cast<double>(r.width) / PANGO_SCALE,
                          static_cast<double>(r.height) / PANGO_SCALE));
}

Rect fromPango(const PangoRectangle& r) {
  return Rect(static_cast<double>(r.x) / PANGO_SCALE, static_cast<double>(r.y) / PANGO_SCALE,
              static_cast<double>(r.width) / PANGO_SCALE, static_cast<double>(r.height) / PANGO_SCALE);
}

}  // namespace

RichTextLayout::RichTextLayout(AttributedString text, const Font& font, const Color& color,
                               double width)
    : text_(std::move(text)), color_(color) {
  context_ = TextEngine::shared().createContext();
  build(font, width);
}

RichTextLayout::~RichTextLayout() {
  if (layout_) g_object_unref(layout_);
  if (context_) g_object_unref(context_);
}

void RichTextLayout::build(const Font& font, double width) {
  pango_cairo_context_set_shape_renderer(context_, renderShape, nullptr, nullptr);
  layout_ = pango_layout_new(context_);
  PangoFontDescription* desc = TextEngine::fontDescription(font);
  pango_layout_set_font_description(layout_, desc);
  pango_font_description_free(desc);
  const std::string& s = text_.string();
  pango_layout_set_text(layout_, s.data(), static_cast<int>(s.size()));
  if (width > 0) {
    pango_layout_set_width(layout_, static_cast<int>(std::floor(width * PANGO_SCALE)));
    pango_layout_set_wrap(layout_, PANGO_WRAP_WORD_CHAR);
  } else {
    pango_layout_set_single_paragraph_mode(layout_, TRUE);
  }

  PangoAttrList* list = pango_attr_list_new();
  for (const auto& run : text_.runs()) {
    size_t start = text_.byteOffset(run.range.location);
    size_t end = text_.byteOffset(run.range.end());
    const TextAttributes& a = run.attributes;
    if (a.font && !(*a.font == font)) {
      PangoFontDescription* runFont = TextEngine::fontDescription(*a.font);
      insert(list, pango_attr_font_desc_new(runFont), start, end);
      pango_font_description_free(runFont);
    }
    const Color& c = a.foregroundColor ? *a.foregroundColor : color_;
    insert(list, pango_attr_foreground_new(channel(c.red()), channel(c.green()), channel(c.blue())),
           start, end);
    insert(list, pango_attr_foreground_alpha_new(std::max<guint16>(1, channel(c.alpha()))), start, end);
  }
  text_.forEachAttachment({0, text_.length()}, [&](size_t index, const std::shared_ptr<TextAttachment>& attachment) {
    if (!attachment) return;
    PangoRectangle r = shapeRect(*attachment);
    // The text copy keeps the attachment alive as long as the layout.
    insert(list, pango_attr_shape_new_with_data(&r, &r, attachment.get(), nullptr, nullptr),
           text_.byteOffset(index), text_.byteOffset(index + 1));
  });
  pango_layout_set_attributes(layout_, list);
  pango_attr_list_unref(list);
}

Size RichTextLayout::size() const {
  PangoRectangle logical;
  pango_layout_get_extents(layout_, nullptr, &logical);
  return Size{static_cast<double>(logical.width) / PANGO_SCALE,
              static_cast<double>(logical.height) / PANGO_SCALE};
}

Rect RichTextLayout::caretRect(size_t position) const {
  position = std::min(position, text_.length());
  PangoRectangle strong;
  pango_layout_get_cursor_pos(layout_, static_cast<int>(text_.byteOffset(position)), &strong, nullptr);
  return fromPango(strong);
}

size_t RichTextLayout::positionAtPoint(Point p) const {
  int index = 0, trailing = 0;
  pango_layout_xy_to_index(layout_, static_cast<int>(std::lround(p.x * PANGO_SCALE)),
                           static_cast<int>(std::lround(p.y * PANGO_SCALE)), &index, &trailing);
  size_t position = text_.characterIndexAtByte(static_cast<size_t>(std::max(0, index)));
  if (trailing > 0) ++position;
  return std::min(position, text_.length());
}

std::vector<Rect> RichTextLayout::selectionRects(CharacterRange range) const {
  std::vector<Rect> rects;
  size_t end = std::min(range.end(), text_.length());
  if (range.location >= end) return rects;
  int start = static_cast<int>(text_.byteOffset(range.location));
  int stop = static_cast<int>(text_.byteOffset(end));
  PangoLayoutIter* iter = pango_layout_get_iter(layout_);
  do {
    PangoLayoutLine* line = pango_layout_iter_get_line_readonly(iter);
    int lineStart = line->start_index, lineEnd = line->start_index + line->length;
    int from = std::max(start, lineStart), to = std::min(stop, lineEnd);
    if (from >= to) continue;
    PangoRectangle lineRect;
    pango_layout_iter_get_line_extents(iter, nullptr, &lineRect);
    int x0 = 0, x1 = 0;
    pango_layout_line_index_to_x(line, from, FALSE, &x0);
    pango_layout_line_index_to_x(line, to, FALSE, &x1);
    rects.push_back(fromPango(PangoRectangle{std::min(x0, x1), lineRect.y, std::abs(x1 - x0), lineRect.height}));
  } while (pango_layout_iter_next_line(iter));
  pango_layout_iter_free(iter);
  return rects;
}

void RichTextLayout::draw(cairo_t* cr, Point origin) {
  pango_cairo_update_context(cr, context_);
  pango_layout_context_changed(layout_);
  cairo_save(cr);
  cairo_set_source_rgba(cr, color_.red(), color_.green(), color_.blue(), color_.alpha());
  cairo_move_to(cr, origin.x, origin.y);
  pango_cairo_show_layout(cr, layout_);
  cairo_restore(cr);
}

}  // namespace vexa

#include "vexa/keyboard/QLBorderView.h"

#include "vexa/platform/Screen.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

QLBorderView::QLBorderView(Rect frame) : View(frame) {
  const double hairline = Screen::main().hairline();
  const Color separator = QLEmotionGlobal::sharedInstance().theme()->separateColor();
  for (int i = 0; i < 4; ++i) {
    width_[i] = hairline;
    color_[i] = separator;
  }
  setBackgroundColor(std::nullopt);
}

int QLBorderView::slot(unsigned edge) {
  switch (edge) {
    case kEdgeLeft: return 0;
    case kEdgeTop: return 1;
    case kEdgeRight: return 2;
    case kEdgeBottom: return 3;
    default: return -1;
  }
}

void QLBorderView::setBorderWidth(double width, std::optional<Color> color, unsigned edges) {
  for (unsigned edge : {kEdgeLeft, kEdgeTop, kEdgeRight, kEdgeBottom}) {
    if (!(edges & edge)) continue;
    width_[slot(edge)] = width;
    color_[slot(edge)] = color;
  }
}

std::optional<Rect> QLBorderView::rectForEdge(unsigned edge) const {
  int i = slot(edge);
  if (i < 0 || width_[i] <= 0 || !color_[i]) return std::nullopt;
  const Rect b = bounds();
  const double w = width_[i];
  switch (edge) {
    case kEdgeLeft: return Rect(b.minX(), b.minY(), w, b.height());
    case kEdgeTop: return Rect(b.minX(), b.minY(), b.width(), w);
    case kEdgeRight: return Rect(b.maxX() - w, b.minY(), w, b.height());
    default: return Rect(b.minX(), b.maxY() - w, b.width(), w);
  }
}

void QLBorderView::draw(cairo_t* cr, const Rect& rect) const {
  View::draw(cr, rect);
  static const std::vector<unsigned> kAll{kEdgeLeft, kEdgeTop, kEdgeRight, kEdgeBottom};
  for (unsigned edge : drawOrder_.empty() ? kAll : drawOrder_) {
    auto r = rectForEdge(edge);
    if (!r) continue;
    const Color& c = *color_[slot(edge)];
    cairo_set_source_rgba(cr, c.red(), c.green(), c.blue(), c.alpha());
    cairo_rectangle(cr, r->minX(), r->minY(), r->width(), r->height());
    cairo_fill(cr);
  }
}

}  // namespace vexa

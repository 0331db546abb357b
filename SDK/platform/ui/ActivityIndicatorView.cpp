#include "vexa/platform/ui/ActivityIndicatorView.h"

#include <algorithm>
#include <cmath>

namespace vexa {

ActivityIndicatorView::ActivityIndicatorView(Rect frame) : View(frame) {
  setUserInteractionEnabled(false);
  setHidden(true);
}

void ActivityIndicatorView::startAnimating() {
  animating_ = true;
  setHidden(false);
}

void ActivityIndicatorView::stopAnimating() {
  animating_ = false;
  if (hidesWhenStopped_) setHidden(true);
}

void ActivityIndicatorView::setHidesWhenStopped(bool hides) {
  hidesWhenStopped_ = hides;
  if (!animating_) setHidden(hides);
}

void ActivityIndicatorView::draw(cairo_t* cr, const Rect&) const {
  Rect b = bounds();
  double r = std::min(b.width(), b.height()) / 2;
  cairo_save(cr);
  cairo_translate(cr, b.midX(), b.midY());
  cairo_set_line_width(cr, r * 0.16);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < 12; ++i) {
    double a = i * M_PI / 6;
    cairo_set_source_rgba(cr, color_.red(), color_.green(), color_.blue(),
                          color_.alpha() * (0.25 + 0.75 * i / 11.0));
    cairo_move_to(cr, std::cos(a) * r * 0.5, std::sin(a) * r * 0.5);
    cairo_line_to(cr, std::cos(a) * r * 0.95, std::sin(a) * r * 0.95);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

}  // namespace vexa

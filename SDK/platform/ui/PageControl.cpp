#include "vexa/platform/ui/PageControl.h"

#include <algorithm>
#include <cmath>

namespace vexa {

PageControl::PageControl(Rect frame) : Control(frame) {}

void PageControl::setNumberOfPages(int pages) {
  numberOfPages_ = std::max(0, pages);
  setCurrentPage(currentPage_);
  updateVisibility();
}

void PageControl::setCurrentPage(int page) {
  currentPage_ = std::clamp(page, 0, std::max(0, numberOfPages_ - 1));
}

void PageControl::setHidesForSinglePage(bool hides) {
  hidesForSinglePage_ = hides;
  updateVisibility();
}

void PageControl::updateVisibility() {
  if (hidesForSinglePage_) setHidden(numberOfPages_ <= 1);
}

Size PageControl::sizeForNumberOfPages(int pages) {
  if (pages <= 0) return Size{0, kHeight};
  return Size{pages * kDotSize + (pages - 1) * kDotSpacing, kHeight};
}

Point PageControl::dotCenter(int page) const {
  Rect b = bounds();
  double width = sizeForNumberOfPages(numberOfPages_).width;
  double x0 = b.midX() - width / 2;
  return Point{x0 + page * (kDotSize + kDotSpacing) + kDotSize / 2, b.midY()};
}

void PageControl::didTapAt(Point p) {
  int page = currentPage_ + (p.x < bounds().midX() ? -1 : 1);
  page = std::clamp(page, 0, std::max(0, numberOfPages_ - 1));
  if (page == currentPage_) return;
  currentPage_ = page;
  sendActionsForControlEvents(ControlEventValueChanged);
}

void PageControl::draw(cairo_t* cr, const Rect&) const {
  for (int i = 0; i < numberOfPages_; ++i) {
    const Color& c = i == currentPage_ ? currentColor_ : pageColor_;
    Point center = dotCenter(i);
    cairo_set_source_rgba(cr, c.red(), c.green(), c.blue(), c.alpha());
    cairo_arc(cr, center.x, center.y, kDotSize / 2, 0, 2 * M_PI);
    cairo_fill(cr);
  }
}

}  // namespace vexa

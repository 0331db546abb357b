// Page dots. A tap on the left half goes one page back, on the right half
// one page on, and sends ValueChanged. Dots are 7 points wide with 9 points
// between them, centred in the bounds. Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/ui/Control.h"

namespace vexa {

class PageControl : public Control {
 public:
  static constexpr double kDotSize = 7;
  static constexpr double kDotSpacing = 9;
  static constexpr double kHeight = 37;

  explicit PageControl(Rect frame = {});
  static std::shared_ptr<PageControl> create(Rect frame = {}) {
    return std::make_shared<PageControl>(frame);
  }

  int numberOfPages() const { return numberOfPages_; }
  void setNumberOfPages(int pages);
  int currentPage() const { return currentPage_; }
  // Clamped to 0 ... numberOfPages - 1.
  void setCurrentPage(int page);
  bool hidesForSinglePage() const { return hidesForSinglePage_; }
  void setHidesForSinglePage(bool hides);
  Color pageIndicatorTintColor() const { return pageColor_; }
  void setPageIndicatorTintColor(Color c) { pageColor_ = c; }
  Color currentPageIndicatorTintColor() const { return currentColor_; }
  void setCurrentPageIndicatorTintColor(Color c) { currentColor_ = c; }

  // The size the dots of `pages` pages need.
  static Size sizeForNumberOfPages(int pages);
  Size sizeThatFits(Size size) const override { (void)size; return sizeForNumberOfPages(numberOfPages_); }
  // Centre of the dot of `page`, in bounds coordinates.
  Point dotCenter(int page) const;
  void draw(cairo_t* cr, const Rect& rect) const override;

 protected:
  void didTapAt(Point point) override;

 private:
  void updateVisibility();

  int numberOfPages_ = 0;
  int currentPage_ = 0;
  bool hidesForSinglePage_ = false;
  Color pageColor_ = Color::white(1, 0.2);
  Color currentColor_ = Color::whiteColor();
};

}  // namespace vexa

// A spinning activity indicator, drawn as twelve spokes. Headless, so
// "animating" is a state; hidden when stopped (by default). Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/ui/View.h"

namespace vexa {

class ActivityIndicatorView : public View {
 public:
  static constexpr double kLargeSize = 37;

  explicit ActivityIndicatorView(Rect frame = Rect(0, 0, kLargeSize, kLargeSize));
  static std::shared_ptr<ActivityIndicatorView> create() {
    return std::make_shared<ActivityIndicatorView>();
  }

  void startAnimating();
  void stopAnimating();
  bool isAnimating() const { return animating_; }
  bool hidesWhenStopped() const { return hidesWhenStopped_; }
  void setHidesWhenStopped(bool hides);
  Color color() const { return color_; }
  void setColor(Color color) { color_ = color; }

  Size sizeThatFits(Size size) const override { (void)size; return {kLargeSize, kLargeSize}; }
  void draw(cairo_t* cr, const Rect& rect) const override;

 private:
  bool animating_ = false;
  bool hidesWhenStopped_ = true;
  Color color_ = Color::whiteColor();
};

}  // namespace vexa

// The progress HUD: a view covering a host view (and taking its touches)
// with a dark rounded box in the middle holding a spinning indicator and a
// line of text. At most one HUD per host view is found by hideHUDForView.
// Showing and hiding apply at once; animated ones record a 0.3 s fade.
// Main thread only.
#pragma once

#include <memory>
#include <string>

#include "vexa/platform/ui/View.h"

namespace vexa {

class ActivityIndicatorView;
class Label;

class QLProgressHUD : public View {
 public:
  static constexpr double kMargin = 20;
  static constexpr double kMinimumBezelSide = 100;

  explicit QLProgressHUD(Rect frame = {});

  // Adds a HUD with the text over `view` and returns it.
  static std::shared_ptr<QLProgressHUD> showHUDAddedTo(View& view, const std::string& text,
                                                       bool animated);
  // Removes the topmost HUD of `view`; false when there was none.
  static bool hideHUDForView(View& view, bool animated);
  static std::shared_ptr<QLProgressHUD> HUDForView(View& view);

  void setText(const std::string& text);
  const std::string& text() const;
  void hide(bool animated);

  const std::shared_ptr<View>& bezelView() const { return bezel_; }
  const std::shared_ptr<Label>& label() const { return label_; }
  const std::shared_ptr<ActivityIndicatorView>& indicator() const { return indicator_; }

  void layoutSubviews() override;

 private:
  std::shared_ptr<View> bezel_;
  std::shared_ptr<ActivityIndicatorView> indicator_;
  std::shared_ptr<Label> label_;
};

}  // namespace vexa

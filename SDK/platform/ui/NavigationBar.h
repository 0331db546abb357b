// The bar at the top of a navigation stack. It shows one navigation item
// (the top controller's): the title centred, the left and right bar button
// items' views at the sides, following the item's changes.
//
// Appearance: the bar tint is the background (it also fills the status bar
// strip above the bar); the tint colour is the view tint its items inherit
// (template images, title items); the title has its own colour and font.
// A presenter sets them on the bar of the navigation controller it shows,
// e.g. from the host's theme. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "vexa/platform/Font.h"
#include "vexa/platform/ui/NavigationItem.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class Label;

class NavigationBar : public View {
 public:
  static constexpr double kHeight = 44;
  // Height of the status bar strip above the bar.
  static constexpr double kStatusBarHeight = 20;
  // Distance of the bar button items from the bar's sides.
  static constexpr double kItemMargin = 16;

  explicit NavigationBar(Rect frame = {});
  static std::shared_ptr<NavigationBar> create(Rect frame = {}) {
    return std::make_shared<NavigationBar>(frame);
  }

  std::optional<Color> barTintColor() const { return backgroundColor(); }
  void setBarTintColor(std::optional<Color> color) { setBackgroundColor(color); }
  void setTitleTextColor(Color color);
  void setTitleFont(const Font& font);
  const std::shared_ptr<Label>& titleLabel() const { return titleLabel_; }

  const std::shared_ptr<NavigationItem>& item() const { return item_; }
  void setItem(std::shared_ptr<NavigationItem> item);

  void layoutSubviews() override;
  void draw(cairo_t* cr, const Rect& rect) const override;

 private:
  void refresh();

  std::shared_ptr<Label> titleLabel_;
  std::shared_ptr<NavigationItem> item_;
  Subscription itemChanges_;
  std::shared_ptr<View> leftView_;
  std::shared_ptr<View> rightView_;
};

}  // namespace vexa

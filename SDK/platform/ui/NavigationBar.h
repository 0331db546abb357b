// The bar at the top of a navigation stack: background (bar tint), tint for
// its items, and the title text colour and font. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/Font.h"
#include "platform/ui/View.h"

namespace vexa {

class Label;

class NavigationBar : public View {
 public:
  static constexpr double kHeight = 44;

  explicit NavigationBar(Rect frame = {});
  static std::shared_ptr<NavigationBar> create(Rect frame = {}) {
    return std::make_shared<NavigationBar>(frame);
  }

  std::optional<Color> barTintColor() const { return backgroundColor(); }
  void setBarTintColor(std::optional<Color> color) { setBackgroundColor(color); }
  Color tintColor() const { return tintColor_; }
  void setTintColor(Color color) { tintColor_ = color; }
  void setTitleTextColor(Color color);
  void setTitleFont(const Font& font);
  void setTitle(const std::string& title);
  const std::shared_ptr<Label>& titleLabel() const { return titleLabel_; }

  void layoutSubviews() override;

 private:
  Color tintColor_ = Color::rgb(0, 0.478, 1);
  std::shared_ptr<Label> titleLabel_;
};

}  // namespace vexa

// The back button of the shop's pushed screens: a 27 x 27 bar button
// showing the bundle picture "back" as a template (so it takes the bar's
// tint), identified as "back" for tools and labelled "返回". Main thread only.
#pragma once

#include <functional>
#include <memory>

namespace vexa {

class BarButtonItem;

class QLBackBarButton {
 public:
  static constexpr double kSide = 27;

  // The item runs `action` (the screen's back action; capture the screen weakly).
  static std::shared_ptr<BarButtonItem> item(std::function<void()> action);
};

}  // namespace vexa

// The back button of the shop's and library's screens: a 27 x 27 bar
// button showing the bundle picture "back" as a template (so it takes the
// bar's tint), identified as "back" for tools and labelled "返回"; and what
// going back means for a screen. Main thread only.
#pragma once

#include <functional>
#include <memory>

namespace vexa {

class BarButtonItem;
class ViewController;

class QLBackBarButton {
 public:
  static constexpr double kSide = 27;

  // The item runs `action` (the screen's back action; capture the screen weakly).
  static std::shared_ptr<BarButtonItem> item(std::function<void()> action);
  // Pops the screen (animated) when it was pushed onto its navigation
  // stack; a screen at the root of a presented stack, or presented alone,
  // closes the stack (or itself) instead.
  static void goBack(ViewController& screen);
};

}  // namespace vexa

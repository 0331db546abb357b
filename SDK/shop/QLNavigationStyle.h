// The look of the navigation bars of the SDK's screens, from the theme in
// force: bar tint `navigationBarColor`, tint `navigationBarTintColor`, title
// in `navigationTitleFont` and `navigationBarTintColor`. Main thread only.
#pragma once

#include <memory>

namespace vexa {

class NavigationBar;
class NavigationController;
class ViewController;

class QLNavigationStyle {
 public:
  static void applyToBar(NavigationBar& bar);
  // A navigation stack on `root` with the styled bar.
  static std::shared_ptr<NavigationController> navigationControllerWithRoot(
      std::shared_ptr<ViewController> root);
};

}  // namespace vexa

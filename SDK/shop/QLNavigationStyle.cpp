#include "vexa/shop/QLNavigationStyle.h"

#include "vexa/platform/ui/NavigationController.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

void QLNavigationStyle::applyToBar(NavigationBar& bar) {
  auto theme = QLEmotionGlobal::sharedInstance().theme();
  bar.setBarTintColor(theme->navigationBarColor());
  bar.setTintColor(theme->navigationBarTintColor());
  bar.setTitleTextColor(theme->navigationBarTintColor());
  bar.setTitleFont(theme->navigationTitleFont());
}

std::shared_ptr<NavigationController> QLNavigationStyle::navigationControllerWithRoot(
    std::shared_ptr<ViewController> root) {
  auto stack = std::make_shared<NavigationController>(std::move(root));
  applyToBar(*stack->navigationBar());
  return stack;
}

}  // namespace vexa

#include "vexa/shop/QLBackBarButton.h"

#include "vexa/platform/ui/BarButtonItem.h"
#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

std::shared_ptr<BarButtonItem> QLBackBarButton::item(std::function<void()> action) {
  QLEmotionGlobal& global = QLEmotionGlobal::sharedInstance();
  auto item = BarButtonItem::withImage(global.sdkUIimageWithName("back"), std::move(action));
  item->view()->setFrame(Rect(0, 0, kSide, kSide));
  item->view()->setAccessibilityIdentifier("back");
  item->view()->setAccessibilityLabel(global.localizedStringForKey("返回"));
  return item;
}

void QLBackBarButton::goBack(ViewController& screen) {
  auto* navigation = screen.navigationController();
  if (navigation && navigation != &screen && navigation->viewControllers().size() > 1 &&
      navigation->topViewController().get() == &screen) {
    navigation->popViewController(true);
    return;
  }
  ViewController& shown = navigation ? static_cast<ViewController&>(*navigation) : screen;
  if (shown.presentingViewController()) shown.dismissViewController(true);
}

}  // namespace vexa

#include "vexa/shop/QLBackBarButton.h"

#include "vexa/core/QLEmotionGlobal.h"
#include "vexa/platform/ui/BarButtonItem.h"
#include "vexa/platform/ui/Button.h"

namespace vexa {

std::shared_ptr<BarButtonItem> QLBackBarButton::item(std::function<void()> action) {
  QLEmotionGlobal& global = QLEmotionGlobal::sharedInstance();
  auto item = BarButtonItem::withImage(global.sdkUIimageWithName("back"), std::move(action));
  item->view()->setFrame(Rect(0, 0, kSide, kSide));
  item->view()->setAccessibilityIdentifier("back");
  item->view()->setAccessibilityLabel(global.localizedStringForKey("返回"));
  return item;
}

}  // namespace vexa

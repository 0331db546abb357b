#include "vexa/shop/QLScreenHUD.h"

#include "vexa/platform/ui/NavigationController.h"
#include "vexa/support/QLProgressHUD.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

void QLScreenHUD::show(ViewController& screen) {
  if (auto shown = hud_.lock(); shown && shown->superview()) return;
  auto* navigation = screen.navigationController();
  View& host = navigation ? *navigation->view() : *screen.view();
  hud_ = QLProgressHUD::showHUDAddedTo(
      host, QLEmotionGlobal::sharedInstance().localizedStringForKey("加载中..."), true);
}

void QLScreenHUD::hide() {
  if (auto shown = hud_.lock()) shown->hide(true);
  hud_.reset();
}

}  // namespace vexa

#include "ScreenSteps.h"

#include "vexa/shop/QLShopViewController.h"

namespace vexa::tool::ui {

// One entry per screen step this build can do: what the host app (or the
// SDK's own controls) would do to open the screen.
const ScreenSteps& ScreenSteps::standard() {
  static const ScreenSteps steps({
      // As the keyboard's add button opens it.
      {StepKind::Shop,
       [](HostScene&, const ScriptStep&) -> Status {
         if (!QLShopViewController::presentShop()) {
           return Error("VXUiScriptErrorDomain", 4, "no window to present the shop from");
         }
         return Status::Ok();
       }},
  });
  return steps;
}

const ScreenStep* ScreenSteps::find(StepKind kind) const {
  auto it = steps_.find(kind);
  return it == steps_.end() ? nullptr : &it->second;
}

}  // namespace vexa::tool::ui

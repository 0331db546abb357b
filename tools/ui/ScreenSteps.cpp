#include "ScreenSteps.h"

namespace vexa::tool::ui {

// One entry per screen step this build can do, for example
//   {StepKind::Shop, [](HostScene& scene, const ScriptStep&) {
//      scene.present(makeShopNavigation());
//      return Status::Ok(); }},
const ScreenSteps& ScreenSteps::standard() {
  static const ScreenSteps steps({});
  return steps;
}

const ScreenStep* ScreenSteps::find(StepKind kind) const {
  auto it = steps_.find(kind);
  return it == steps_.end() ? nullptr : &it->second;
}

}  // namespace vexa::tool::ui

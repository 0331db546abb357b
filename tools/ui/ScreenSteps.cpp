#include "ScreenSteps.h"

#include "vexa/core/VXEmotionCentre.h"
#include "vexa/shop/QLShopViewController.h"

namespace vexa::tool::ui {

namespace {

Error unavailable(const std::string& why) { return Error("VXUiScriptErrorDomain", 4, why); }

// As the keyboard's add button opens it.
Status openShop(HostScene&, const ScriptStep&) {
  if (!QLShopViewController::presentShop()) return unavailable("no window to present the shop from");
  return Status::Ok();
}

// What a chat app's emoji button does: the input gets the emotion keyboard
// and the focus, so the keyboard comes up.
Status attachKeyboard(HostScene& scene, const ScriptStep&) {
  VXEmotionCentre::defaultCentre().attachEmotionKeyboardToInput(scene.input());
  if (!scene.input()->isFirstResponder() && !scene.input()->becomeFirstResponder()) {
    return unavailable("the input cannot become first responder");
  }
  return Status::Ok();
}

Status detachKeyboard(HostScene&, const ScriptStep&) {
  VXEmotionCentre::defaultCentre().switchToDefaultKeyboard();
  return Status::Ok();
}

// Tips above the input bar for the input's text; off: no view, no input.
Status inputTips(HostScene& scene, const ScriptStep& step) {
  auto& centre = VXEmotionCentre::defaultCentre();
  if (step.word == "on") {
    centre.shouldShowShotcutPopoverAboveView(scene.chat().inputBar(), scene.input());
  } else {
    centre.shouldShowShotcutPopoverAboveView(nullptr, nullptr);
  }
  return Status::Ok();
}

}  // namespace

// One entry per screen step this build can do: what the host app (or the
// SDK's own controls) would do.
const ScreenSteps& ScreenSteps::standard() {
  static const ScreenSteps steps({
      {StepKind::Shop, openShop},
      {StepKind::Attach, attachKeyboard},
      {StepKind::Detach, detachKeyboard},
      {StepKind::Tips, inputTips},
  });
  return steps;
}

const ScreenStep* ScreenSteps::find(StepKind kind) const {
  auto it = steps_.find(kind);
  return it == steps_.end() ? nullptr : &it->second;
}

}  // namespace vexa::tool::ui

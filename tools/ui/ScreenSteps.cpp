#include "ScreenSteps.h"

#include "vexa/core/VXEmotionCentre.h"
#include "vexa/keyboard/VXEmotionDetailViewController.h"
#include "vexa/platform/ui/BarButtonItem.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/shop/QLBackBarButton.h"
#include "vexa/shop/QLCollectViewController.h"
#include "vexa/shop/QLMyViewController.h"
#include "vexa/shop/QLNavigationStyle.h"
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

// As a host app shows one of the SDK's library screens: in a navigation
// stack with the SDK's bar style, presented over what is on screen.
Status presentInStack(HostScene& scene, std::shared_ptr<ViewController> root) {
  scene.present(QLNavigationStyle::navigationControllerWithRoot(std::move(root)));
  return Status::Ok();
}

// The big-emoji screen for the step's code, as a host gets it from the
// centre and shows it after a tap on a sticker in a message: in its own
// stack, with a close button of the host's that dismisses it.
Status presentBigEmoji(HostScene& scene, const ScriptStep& step) {
  auto screen = VXEmotionCentre::defaultCentre().controllerForEmotionCode(step.word);
  std::weak_ptr<ViewController> weak = screen;
  auto close = QLBackBarButton::item([weak] {
    if (auto shown = weak.lock()) QLBackBarButton::goBack(*shown);
  });
  close->view()->setAccessibilityIdentifier("close");
  screen->navigationItem()->setLeftBarButtonItem(close);
  return presentInStack(scene, screen);
}

// My emoticons, as the shop's settings button opens it, from the host's own menu.
Status openMine(HostScene& scene, const ScriptStep&) {
  return presentInStack(scene, std::make_shared<QLMyViewController>());
}

Status openFavourites(HostScene& scene, const ScriptStep&) {
  return presentInStack(scene, std::make_shared<QLCollectViewController>());
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
      {StepKind::Emoji, presentBigEmoji},
      {StepKind::Mine, openMine},
      {StepKind::Favourites, openFavourites},
  });
  return steps;
}

const ScreenStep* ScreenSteps::find(StepKind kind) const {
  auto it = steps_.find(kind);
  return it == steps_.end() ? nullptr : &it->second;
}

}  // namespace vexa::tool::ui

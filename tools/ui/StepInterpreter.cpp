#include "StepInterpreter.h"

#include <chrono>

#include "SdkActivity.h"
#include "TargetFinder.h"
#include "vexa/platform/ui/Renderer.h"
#include "vexa/platform/ui/SystemKeyboard.h"
#include "vexa/text/QLTextImageHelper.h"

namespace vexa::tool::ui {

namespace {

Error cannot(const std::string& why) { return Error("VXUiScriptErrorDomain", 4, why); }

}  // namespace

StepInterpreter::StepInterpreter(HostScene& scene, JsonWriter& out, const ScreenSteps& screens)
    : scene_(scene), out_(out), screens_(screens), touches_(scene.window()) {}

Status StepInterpreter::run(const std::vector<ScriptStep>& steps) {
  for (const ScriptStep& step : steps) {
    Status done = perform(step);
    if (!done.ok()) {
      return Error(done.error().domain(), done.error().code(),
                   "line " + std::to_string(step.line) + ": " + done.error().description());
    }
  }
  return Status::Ok();
}

void StepInterpreter::finish() {
  if (touches_.isHolding()) (void)touches_.release();
}

Result<Point> StepInterpreter::locate(const Target& target) {
  if (target.point) return *target.point;
  scene_.window().layoutIfNeeded();
  return TargetFinder::find(scene_.window(), target.text);
}

Status StepInterpreter::perform(const ScriptStep& step) {
  switch (step.kind) {
    case StepKind::Focus:
      if (!scene_.input()->becomeFirstResponder()) return cannot("the input cannot become first responder");
      TouchDriver::runReadyWork();
      return Status::Ok();
    case StepKind::Tap:
    case StepKind::Press:
    case StepKind::Hold: {
      auto point = locate(*step.target);
      if (!point.ok()) return point.error();
      if (step.kind == StepKind::Tap) return touches_.tap(*point);
      if (step.kind == StepKind::Press) return touches_.press(*point, step.numbers[0]);
      return touches_.hold(*point, step.numbers[0]);
    }
    case StepKind::Release:
      return touches_.release();
    case StepKind::Drag:
      return touches_.drag(Point{step.numbers[0], step.numbers[1]}, Point{step.numbers[2], step.numbers[3]},
                           step.numbers[4]);
    case StepKind::Type:
    case StepKind::Key:
      return typing(step);
    case StepKind::Wait:
      touches_.wait(step.numbers[0]);
      return Status::Ok();
    case StepKind::Settle:
      return settle(step.numbers.empty() ? kDefaultSettleLimit : step.numbers[0]);
    case StepKind::Back:
      return back();
    case StepKind::Shot:
      return shot(step.word);
    case StepKind::Tree:
      scene_.window().layoutIfNeeded();
      out_.tree(VisibleTree::of(scene_.window()));
      return Status::Ok();
    case StepKind::Input:
      printInput();
      return Status::Ok();
    case StepKind::Attach:
    case StepKind::Detach:
    case StepKind::Shop:
    case StepKind::Emoji:
    case StepKind::Mine:
    case StepKind::Favourites:
    case StepKind::Tips: {
      const ScreenStep* screen = screens_.find(step.kind);
      if (!screen) return cannot(step.name + " is not available in this build");
      Status done = (*screen)(scene_, step);
      TouchDriver::runReadyWork();
      return done;
    }
  }
  return cannot("unknown step");
}

Status StepInterpreter::typing(const ScriptStep& step) {
  auto& keyboards = scene_.window().keyboardHost();
  if (!keyboards.isSystemKeyboardShown()) return cannot("the system keyboard is not shown");
  auto& keyboard = *keyboards.systemKeyboard();
  if (step.kind == StepKind::Type) {
    keyboard.typeText(step.word);
  } else if (step.word == "backspace") {
    keyboard.deleteBackward();
  } else {
    keyboard.insertReturn();
  }
  // A key the input refuses is the input's answer, not a failed step.
  TouchDriver::runReadyWork();
  return Status::Ok();
}

Status StepInterpreter::settle(double limit) {
  auto start = std::chrono::steady_clock::now();
  for (;;) {
    std::string busy = SdkActivity::busy(scene_.window());
    if (busy.empty()) {
      SdkActivity::finishDiskWrites();
      // Writing may have queued completions; idle only if it did not.
      if (SdkActivity::busy(scene_.window()).empty()) return Status::Ok();
      continue;
    }
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (waited >= limit) {
      return cannot("still busy after " + std::to_string(static_cast<long>(limit)) + " s: " + busy);
    }
    touches_.wait(0.02);
  }
}

Status StepInterpreter::back() {
  scene_.window().layoutIfNeeded();
  for (const char* id : {"back", "close"}) {
    if (auto point = TargetFinder::withIdentifier(scene_.window(), id)) return touches_.tap(*point);
  }
  return cannot("no \"back\" or \"close\" control on screen");
}

Status StepInterpreter::shot(const std::string& file) {
  Status written = Renderer(scene_.scale()).renderToPng(scene_.window(), file);
  if (!written.ok()) return cannot(written.error().description());
  return Status::Ok();
}

InputState StepInterpreter::inputState() {
  const TextInput& model = scene_.input()->input();
  InputState state;
  state.plain = QLTextImageHelper::pureTextFromAttributeText(model.attributedText());
  state.caret = model.selectedRange().location;
  model.attributedText().forEachAttachment({0, model.length()},
                                           [&state](size_t, const auto&) { ++state.attachments; });
  state.firstResponder = scene_.input()->isFirstResponder();
  auto& keyboards = scene_.window().keyboardHost();
  if (!keyboards.keyboardView()) {
    state.keyboard = "none";
  } else {
    state.keyboard = keyboards.isSystemKeyboardShown() ? "system" : "emotion";
  }
  return state;
}

}  // namespace vexa::tool::ui

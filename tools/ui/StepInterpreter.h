// Runs the steps of a `vexa ui` script against the host scene, in order.
// Steps only touch, type, wait and read, as a user or a test would: taps
// and drags go through the window's touches, typing through the stand-in
// system keyboard, reading through the views' accessibility and the
// input's model. The first step that cannot be done ends the run with
// "line N: why".
#pragma once

#include <vector>

#include "HostScene.h"
#include "JsonWriter.h"
#include "ScreenSteps.h"
#include "ScriptStep.h"
#include "TouchDriver.h"
#include "vexa/platform/Result.h"

namespace vexa::tool::ui {

class StepInterpreter {
 public:
  static constexpr double kDefaultSettleLimit = 30;

  StepInterpreter(HostScene& scene, JsonWriter& out, const ScreenSteps& screens);

  Status run(const std::vector<ScriptStep>& steps);
  // Lifts a finger a script left down.
  void finish();
  // Prints the input's state, as the `input` step does.
  void printInput() { out_.input(inputState()); }

 private:
  Status perform(const ScriptStep& step);
  Result<Point> locate(const Target& target);
  Status typing(const ScriptStep& step);
  Status settle(double limit);
  Status back();
  Status shot(const std::string& file);
  InputState inputState();

  HostScene& scene_;
  JsonWriter& out_;
  const ScreenSteps& screens_;
  TouchDriver touches_;
};

}  // namespace vexa::tool::ui

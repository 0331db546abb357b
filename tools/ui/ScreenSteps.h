// The steps that open the SDK's screens or attach its parts to the input:
// attach, detach, shop, emoji, mine, favourites, tips. Each is available
// once its screen exists: wiring one is a single entry in the table of
// ScreenSteps.cpp, a function that does what a host app would do (present
// the screen through HostScene::present, call the centre) and returns. The
// interpreter answers a step without an entry with "not available in this
// build". Screens name their controls with the identifiers the driver's
// documentation lists, so that scripts can touch them.
#pragma once

#include <functional>
#include <map>

#include "HostScene.h"
#include "ScriptStep.h"
#include "vexa/platform/Result.h"

namespace vexa::tool::ui {

using ScreenStep = std::function<Status(HostScene& scene, const ScriptStep& step)>;

class ScreenSteps {
 public:
  // The screen steps of this build.
  static const ScreenSteps& standard();

  explicit ScreenSteps(std::map<StepKind, ScreenStep> steps) : steps_(std::move(steps)) {}
  // The step's function, or nullptr when this build cannot do it.
  const ScreenStep* find(StepKind kind) const;

 private:
  std::map<StepKind, ScreenStep> steps_;
};

}  // namespace vexa::tool::ui

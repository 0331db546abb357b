// One step of a `vexa ui` script, as the parser makes it from a line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "vexa/platform/Geometry.h"

namespace vexa::tool::ui {

enum class StepKind {
  Attach, Detach, Focus, Tap, Press, Hold, Release, Drag, Type, Key, Wait, Settle,
  Shop, Emoji, Mine, Favourites, Tips, Back, Shot, Tree, Input,
};

// Two window points, or a text matched against the views on screen.
struct Target {
  std::optional<Point> point;
  std::string text;
};

struct ScriptStep {
  int line = 0;
  StepKind kind = StepKind::Tree;
  std::string name;              // the step's word, for messages
  std::optional<Target> target;  // tap, press, hold
  std::vector<double> numbers;   // seconds; drag's X1 Y1 X2 Y2 SECONDS
  std::string word;              // type's text, key's name, emoji's code, tips' on/off, shot's file
};

}  // namespace vexa::tool::ui

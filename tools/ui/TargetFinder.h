// Finds the view a script's quoted TARGET names, as a user would point at
// it: among the visible views, front-most first, the first whose
// accessibility identifier is the text; else the first whose accessibility
// label is; else the first interactive one that shows the text. The step
// then acts on the view's centre.
#pragma once

#include <optional>
#include <string>

#include "VisibleTree.h"
#include "vexa/platform/Geometry.h"
#include "vexa/platform/Result.h"

namespace vexa::tool::ui {

class TargetFinder {
 public:
  // The centre of the matched view in window points; an error saying that
  // nothing on screen matches.
  static Result<Point> find(View& window, const std::string& text);
  // The centre of the front-most visible view with the identifier.
  static std::optional<Point> withIdentifier(View& window, const std::string& identifier);
};

}  // namespace vexa::tool::ui

// One finger on the screen, as the synthetic touch API delivers it. Points
// are in window coordinates; times are seconds on the host's event clock.
#pragma once

#include "vexa/platform/Geometry.h"

namespace vexa {

class View;

enum class TouchPhase { Began, Moved, Ended, Cancelled };

struct Touch {
  TouchPhase phase = TouchPhase::Began;
  Point locationInWindow;
  Point startLocationInWindow;
  double timestamp = 0;
  double startTimestamp = 0;
  // The view the touch began in (hit-test result); it outlives the touch
  // sequence because the dispatcher holds it.
  View* view = nullptr;

  // The location in `view`'s coordinates (nullptr: window coordinates).
  Point locationIn(const View* view) const;
  Point previousLocationInWindow;
};

}  // namespace vexa

// The driver's finger and clock. Touches go to the window's touch
// dispatcher with times on one clock that follows real time and never runs
// backwards; while time passes (a press, a drag, a wait) the main queue runs,
// so timers, completions and network answers arrive, and a finger held down
// lets its recognisers advance. After each touch the work it queued on the
// main queue runs.
#pragma once

#include <chrono>

#include "vexa/platform/Geometry.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/ui/Window.h"

namespace vexa::tool::ui {

class TouchDriver {
 public:
  explicit TouchDriver(Window& window);

  Status tap(Point point);
  // Down, held `seconds`, up.
  Status press(Point point, double seconds);
  // Down and held `seconds`; the finger stays down until release().
  Status hold(Point point, double seconds);
  Status release();
  // Down at `from`, moves to `to` over `seconds` (at least two moves), up.
  Status drag(Point from, Point to, double seconds);
  // Lets `seconds` of real time pass.
  void wait(double seconds);
  bool isHolding() const { return holding_; }

  // Runs what is ready on the main queue now (bounded, in case tasks keep
  // queueing more).
  static void runReadyWork();

 private:
  double now();
  Status down(Point point);
  Status notHolding() const;

  Window& window_;
  std::chrono::steady_clock::time_point start_;
  double last_ = 0;
  double ahead_ = 0;  // seconds the driver's clock runs ahead of the real one
  bool holding_ = false;
  Point heldAt_;
};

}  // namespace vexa::tool::ui

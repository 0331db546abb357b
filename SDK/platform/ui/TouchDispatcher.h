// Delivers one synthetic touch sequence to a view tree: hit testing, the
// gesture recognisers of the hit view and its ancestors, and the touch
// handlers of the hit view (which pass it up the responder chain).
//
// Tests and hosts call it with window points and times (seconds on any
// monotonic clock); a host with no events in between calls advanceTime()
// so that long presses begin on time. One finger at a time. Main thread
// only.
#pragma once

#include <memory>
#include <vector>

#include "vexa/platform/Geometry.h"
#include "vexa/platform/ui/Touch.h"

namespace vexa {

class View;
class GestureRecognizer;

class TouchDispatcher {
 public:
  explicit TouchDispatcher(View& root) : root_(root) {}

  // Returns false when no view took the touch (nothing was hit).
  bool touchDown(Point windowPoint, double time);
  void touchMove(Point windowPoint, double time);
  void touchUp(Point windowPoint, double time);
  void touchCancel(double time);
  // Lets time pass with the finger still.
  void advanceTime(double time);

  bool isTracking() const { return static_cast<bool>(view_); }

  // Conveniences: a whole tap, and a press held for `seconds`.
  void tap(Point windowPoint, double time);
  void press(Point windowPoint, double time, double seconds);

 private:
  void deliver(int event, bool moved);
  void deliverHolds();
  void afterRecognition(GestureRecognizer& winner);
  void endSequence();

  View& root_;
  std::shared_ptr<View> view_;
  std::vector<std::shared_ptr<GestureRecognizer>> recognizers_;
  Touch touch_;
  bool viewCancelled_ = false;
};

}  // namespace vexa

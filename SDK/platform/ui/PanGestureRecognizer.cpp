#include "vexa/platform/ui/PanGestureRecognizer.h"

namespace vexa {

Point PanGestureRecognizer::translation() const {
  const Touch& t = touch();
  return Point{t.locationInWindow.x - t.startLocationInWindow.x,
               t.locationInWindow.y - t.startLocationInWindow.y};
}

GestureRecognizerState PanGestureRecognizer::next(State state, GestureEvent event) const {
  switch (state) {
    case State::Possible:
      switch (event) {
        case GestureEvent::MoveBeyond: return State::Began;
        case GestureEvent::TouchUp:
        case GestureEvent::TouchCancelled: return State::Failed;
        default: return State::Possible;
      }
    case State::Began:
    case State::Changed: return continuing(state, event);
    default: return state;
  }
}

}  // namespace vexa

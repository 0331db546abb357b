#include "vexa/platform/ui/TapGestureRecognizer.h"

namespace vexa {

GestureRecognizerState TapGestureRecognizer::next(State state, GestureEvent event) const {
  if (state != State::Possible) return state;
  switch (event) {
    case GestureEvent::TouchUp: return State::Ended;
    case GestureEvent::MoveBeyond:
    case GestureEvent::TouchCancelled: return State::Failed;
    default: return State::Possible;
  }
}

}  // namespace vexa

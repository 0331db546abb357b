#include "vexa/platform/ui/LongPressGestureRecognizer.h"

namespace vexa {

GestureRecognizerState LongPressGestureRecognizer::next(State state, GestureEvent event) const {
  switch (state) {
    case State::Possible:
      switch (event) {
        case GestureEvent::HoldElapsed: return State::Began;
        case GestureEvent::MoveBeyond:
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

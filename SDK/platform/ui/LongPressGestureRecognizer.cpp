#include "platform/ui/LongPressGestureRecognizer.h"

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
    case State::Changed:
      switch (event) {
        case GestureEvent::MoveWithin:
        case GestureEvent::MoveBeyond: return State::Changed;
        case GestureEvent::TouchUp: return State::Ended;
        case GestureEvent::TouchCancelled: return State::Cancelled;
        default: return state;
      }
    default: return state;
  }
}

}  // namespace vexa

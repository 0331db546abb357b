#include "vexa/platform/ui/TouchDispatcher.h"

#include <cmath>

#include "vexa/platform/ui/GestureRecognizer.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

bool TouchDispatcher::touchDown(Point p, double time) {
  if (view_) touchCancel(time);
  auto hit = root_.hitTest(p);
  if (!hit) return false;
  view_ = hit;
  viewCancelled_ = false;
  recognizers_.clear();
  for (View* v = hit.get(); v; v = v->superview()) {
    if (!v->isUserInteractionEnabled()) continue;
    for (const auto& r : v->gestureRecognizers())
      if (r->isEnabled()) recognizers_.push_back(r);
  }
  touch_ = Touch{};
  touch_.phase = TouchPhase::Began;
  touch_.locationInWindow = touch_.startLocationInWindow = touch_.previousLocationInWindow = p;
  touch_.timestamp = touch_.startTimestamp = time;
  touch_.view = hit.get();
  deliver(static_cast<int>(GestureEvent::TouchDown), false);
  if (view_ && !viewCancelled_) view_->touchesBegan(touch_);
  return true;
}

void TouchDispatcher::touchMove(Point p, double time) {
  if (!view_) return;
  advanceTime(time);
  if (!view_) return;
  touch_.phase = TouchPhase::Moved;
  touch_.previousLocationInWindow = touch_.locationInWindow;
  touch_.locationInWindow = p;
  touch_.timestamp = time;
  deliver(-1, true);
  if (view_ && !viewCancelled_) view_->touchesMoved(touch_);
}

void TouchDispatcher::touchUp(Point p, double time) {
  if (!view_) return;
  advanceTime(time);
  if (!view_) return;
  touch_.phase = TouchPhase::Ended;
  touch_.previousLocationInWindow = touch_.locationInWindow;
  touch_.locationInWindow = p;
  touch_.timestamp = time;
  deliver(static_cast<int>(GestureEvent::TouchUp), false);
  if (view_ && !viewCancelled_) view_->touchesEnded(touch_);
  endSequence();
}

void TouchDispatcher::touchCancel(double time) {
  if (!view_) return;
  touch_.phase = TouchPhase::Cancelled;
  touch_.timestamp = time;
  deliver(static_cast<int>(GestureEvent::TouchCancelled), false);
  if (view_ && !viewCancelled_) view_->touchesCancelled(touch_);
  endSequence();
}

void TouchDispatcher::advanceTime(double time) {
  if (!view_) return;
  if (time > touch_.timestamp) touch_.timestamp = time;
  deliverHolds();
}

void TouchDispatcher::deliverHolds() {
  double held = touch_.timestamp - touch_.startTimestamp;
  auto list = recognizers_;
  for (auto& r : list) {
    if (r->isHoldDelivered() || held < r->holdDuration()) continue;
    if (r->handle(GestureEvent::HoldElapsed, touch_)) afterRecognition(*r);
  }
}

void TouchDispatcher::deliver(int eventCode, bool moved) {
  auto list = recognizers_;
  for (auto& r : list) {
    GestureEvent event;
    if (moved) {
      double dx = touch_.locationInWindow.x - touch_.startLocationInWindow.x;
      double dy = touch_.locationInWindow.y - touch_.startLocationInWindow.y;
      event = std::hypot(dx, dy) > r->allowableMovement() ? GestureEvent::MoveBeyond
                                                          : GestureEvent::MoveWithin;
    } else {
      event = static_cast<GestureEvent>(eventCode);
    }
    if (r->handle(event, touch_)) afterRecognition(*r);
  }
  // Recognitions held back by "require to fail" settle once the others have
  // seen the event.
  bool changed = true;
  while (changed) {
    changed = false;
    for (auto& r : list)
      if (r->resolvePending()) {
        afterRecognition(*r);
        changed = true;
      }
  }
}

void TouchDispatcher::afterRecognition(GestureRecognizer& winner) {
  // One gesture per touch: the others give up.
  for (auto& r : recognizers_)
    if (r.get() != &winner) r->preventedBy();
  if (winner.cancelsTouchesInView() && view_ && !viewCancelled_) {
    viewCancelled_ = true;
    Touch cancelled = touch_;
    cancelled.phase = TouchPhase::Cancelled;
    view_->touchesCancelled(cancelled);
  }
}

void TouchDispatcher::endSequence() {
  for (auto& r : recognizers_) r->reset();
  recognizers_.clear();
  view_.reset();
}

void TouchDispatcher::tap(Point p, double time) {
  if (touchDown(p, time)) touchUp(p, time + 0.05);
}

void TouchDispatcher::press(Point p, double time, double seconds) {
  if (!touchDown(p, time)) return;
  advanceTime(time + seconds);
  touchUp(p, time + seconds);
}

}  // namespace vexa

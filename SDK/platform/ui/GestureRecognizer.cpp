#include "vexa/platform/ui/GestureRecognizer.h"

namespace vexa {

namespace {
bool isRecognized(GestureRecognizerState s) {
  return s == GestureRecognizerState::Began || s == GestureRecognizerState::Changed ||
         s == GestureRecognizerState::Ended;
}
}  // namespace

void GestureRecognizer::requireGestureRecognizerToFail(
    const std::shared_ptr<GestureRecognizer>& other) {
  if (other && other.get() != this) required_.push_back(other);
}

void GestureRecognizer::enter(State s) {
  if (s == state_ && s != State::Changed) return;
  state_ = s;
  if (s == State::Began || s == State::Changed || s == State::Ended || s == State::Cancelled) {
    auto keep = shared_from_this();
    auto actions = actions_;
    for (auto& action : actions) action(*this);
  }
}

bool GestureRecognizer::requirementsFailed() const {
  for (const auto& weak : required_) {
    auto r = weak.lock();
    // A recogniser that does not see this touch cannot recognise it.
    if (r && r->tracking_ && r->state_ != State::Failed && r->state_ != State::Cancelled)
      return false;
  }
  return true;
}

bool GestureRecognizer::requirementRecognized() const {
  for (const auto& weak : required_) {
    auto r = weak.lock();
    if (r && r->tracking_ && isRecognized(r->state_)) return true;
  }
  return false;
}

bool GestureRecognizer::handle(GestureEvent event, const Touch& touch) {
  touch_ = touch;
  if (event == GestureEvent::TouchDown) tracking_ = true;
  if (event == GestureEvent::HoldElapsed) holdDelivered_ = true;
  if (pending_) {
    // Waiting on a requirement: only losing the touch cancels the wait.
    if (event == GestureEvent::TouchCancelled) {
      pending_.reset();
      enter(State::Failed);
    }
    return false;
  }
  State before = state_;
  State after = next(before, event);
  if (before == State::Possible && isRecognized(after) && shouldBegin_) {
    auto keep = shared_from_this();
    if (!shouldBegin_(*this)) after = State::Failed;
  }
  if (before == State::Possible && isRecognized(after) && !requirementsFailed()) {
    pending_ = after;
    return false;
  }
  bool moved = event == GestureEvent::MoveWithin || event == GestureEvent::MoveBeyond;
  if (after == before && !(after == State::Changed && moved)) return false;
  enter(after);
  return before == State::Possible && isRecognized(after);
}

void GestureRecognizer::preventedBy() {
  if (state_ == State::Possible) {
    pending_.reset();
    enter(State::Failed);
  }
}

bool GestureRecognizer::resolvePending() {
  if (!pending_) return false;
  if (requirementRecognized()) {
    pending_.reset();
    enter(State::Failed);
    return false;
  }
  if (!requirementsFailed()) return false;
  State s = *pending_;
  pending_.reset();
  enter(s);
  return true;
}

GestureRecognizerState GestureRecognizer::continuing(State state, GestureEvent event) {
  switch (event) {
    case GestureEvent::MoveWithin:
    case GestureEvent::MoveBeyond: return State::Changed;
    case GestureEvent::TouchUp: return State::Ended;
    case GestureEvent::TouchCancelled: return State::Cancelled;
    default: return state;
  }
}

void GestureRecognizer::reset() {
  state_ = State::Possible;
  pending_.reset();
  tracking_ = false;
  holdDelivered_ = false;
}

}  // namespace vexa

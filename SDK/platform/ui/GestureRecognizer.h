// Gesture recognisers: objects attached to a view that turn the touches of
// that view (and its subviews) into one gesture with a state.
//
// Each kind is an event -> state table (next()); the base class adds what
// all kinds share: actions on Began/Changed/Ended/Cancelled, "require to
// fail" (a recognition waits until the required recogniser has failed, and
// fails when it recognises), a should-begin check (a recognition it refuses
// becomes Failed, so the touch stays free for the recognisers of the
// ancestors) and the bookkeeping of one touch sequence. The
// window's TouchDispatcher feeds the events; nothing here reads a clock.
// Main thread only.
#pragma once

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "vexa/platform/Geometry.h"
#include "vexa/platform/ui/Touch.h"

namespace vexa {

class View;

enum class GestureRecognizerState { Possible, Began, Changed, Ended, Cancelled, Failed };

// What happened to the touch, as a recogniser sees it.
enum class GestureEvent {
  TouchDown,
  MoveWithin,      // moved, still within the allowable movement
  MoveBeyond,      // moved beyond the allowable movement
  TouchUp,
  HoldElapsed,     // the touch has been down for holdDuration()
  TouchCancelled,  // the system took the touch away
};

class GestureRecognizer : public std::enable_shared_from_this<GestureRecognizer> {
 public:
  using State = GestureRecognizerState;
  using Action = std::function<void(GestureRecognizer&)>;
  using ShouldBegin = std::function<bool(GestureRecognizer&)>;

  virtual ~GestureRecognizer() = default;

  State state() const { return state_; }
  // The view it is attached to, or nullptr.
  View* view() const { return view_; }
  bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }
  // When it recognises, the touch is taken from the view (touchesCancelled).
  bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
  void setCancelsTouchesInView(bool on) { cancelsTouchesInView_ = on; }
  double allowableMovement() const { return allowableMovement_; }
  void setAllowableMovement(double points) { allowableMovement_ = points; }

  // Called on every change to Began, Changed, Ended and Cancelled.
  void addAction(Action action) { actions_.push_back(std::move(action)); }
  void removeAllActions() { actions_.clear(); }

  // This recogniser recognises only after `other` has failed.
  void requireGestureRecognizerToFail(const std::shared_ptr<GestureRecognizer>& other);

  // Asked when the table would leave Possible for a recognised state; false
  // fails the recogniser instead. None means always.
  void setShouldBegin(ShouldBegin check) { shouldBegin_ = std::move(check); }

  // Where the current (or last) touch is, in `view`'s coordinates.
  Point locationInView(const View* view) const { return touch_.locationIn(view); }
  // The current (or last) touch.
  const Touch& touch() const { return touch_; }

  // The table: the state after `event` in state `state` (before any
  // "require to fail" hold). Returns `state` for events it ignores.
  virtual State next(State state, GestureEvent event) const = 0;
  // Seconds after touch-down at which HoldElapsed is delivered.
  virtual double holdDuration() const { return std::numeric_limits<double>::infinity(); }

  // --- For the dispatcher and the view.
  void attachToView(View* view) { view_ = view; }
  // Applies one event; returns true when this event made it recognise
  // (entered Began or Ended from Possible).
  bool handle(GestureEvent event, const Touch& touch);
  // Another recogniser of the same touch recognised first.
  void preventedBy();
  // Settles a recognition held back by "require to fail". Returns true when
  // it recognised now.
  bool resolvePending();
  bool isTracking() const { return tracking_; }
  bool isHoldDelivered() const { return holdDelivered_; }
  // Back to Possible after the touch sequence.
  void reset();

 protected:
  // The rows every continuous gesture shares once it has begun: moves
  // report Changed, lifting Ended, losing the touch Cancelled.
  static State continuing(State state, GestureEvent event);

 private:
  void enter(State state);
  bool requirementsFailed() const;
  bool requirementRecognized() const;

  View* view_ = nullptr;
  State state_ = State::Possible;
  std::optional<State> pending_;
  bool enabled_ = true;
  bool cancelsTouchesInView_ = true;
  bool tracking_ = false;
  bool holdDelivered_ = false;
  double allowableMovement_ = 10;
  Touch touch_;
  std::vector<Action> actions_;
  ShouldBegin shouldBegin_;
  std::vector<std::weak_ptr<GestureRecognizer>> required_;
};

}  // namespace vexa

// A long press: the touch stays down for minimumPressDuration without
// moving beyond the allowable movement (Began); later movement reports
// Changed, lifting reports Ended, losing the touch reports Cancelled.
#pragma once

#include <memory>

#include "vexa/platform/ui/GestureRecognizer.h"

namespace vexa {

class LongPressGestureRecognizer : public GestureRecognizer {
 public:
  static std::shared_ptr<LongPressGestureRecognizer> create(Action action = nullptr) {
    auto r = std::make_shared<LongPressGestureRecognizer>();
    if (action) r->addAction(std::move(action));
    return r;
  }
  // Seconds; 0.5 by default.
  double minimumPressDuration() const { return minimumPressDuration_; }
  void setMinimumPressDuration(double seconds) { minimumPressDuration_ = seconds; }

  State next(State state, GestureEvent event) const override;
  double holdDuration() const override { return minimumPressDuration_; }

 private:
  double minimumPressDuration_ = 0.5;
};

}  // namespace vexa

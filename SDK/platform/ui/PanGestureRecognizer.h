// A pan: the touch moves beyond the allowable movement (Began); every later
// move reports Changed, lifting reports Ended, losing the touch Cancelled.
// A touch that lifts or is lost before it has moved that far fails it.
// Scroll views drag through one of these (see ScrollView). Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/ui/GestureRecognizer.h"

namespace vexa {

class PanGestureRecognizer : public GestureRecognizer {
 public:
  static std::shared_ptr<PanGestureRecognizer> create(Action action = nullptr) {
    auto r = std::make_shared<PanGestureRecognizer>();
    if (action) r->addAction(std::move(action));
    return r;
  }

  // The finger's travel since touch-down. Views have no transforms, so it
  // is the same in every view's coordinates.
  Point translation() const;

  State next(State state, GestureEvent event) const override;
};

}  // namespace vexa

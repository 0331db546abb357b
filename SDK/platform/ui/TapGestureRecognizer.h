// A single tap: the touch goes up without having moved beyond the
// allowable movement. Discrete: it goes straight to Ended.
#pragma once

#include <memory>

#include "vexa/platform/ui/GestureRecognizer.h"

namespace vexa {

class TapGestureRecognizer : public GestureRecognizer {
 public:
  static std::shared_ptr<TapGestureRecognizer> create(Action action = nullptr) {
    auto r = std::make_shared<TapGestureRecognizer>();
    if (action) r->addAction(std::move(action));
    return r;
  }
  State next(State state, GestureEvent event) const override;
};

}  // namespace vexa

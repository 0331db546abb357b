#include "vexa/platform/ui/Control.h"

#include <algorithm>

namespace vexa {

Control::ActionId Control::addAction(unsigned events, Action action) {
  ActionId id = nextId_++;
  actions_.push_back({id, events, std::move(action)});
  return id;
}

void Control::removeAction(ActionId id) {
  std::erase_if(actions_, [id](const Entry& e) { return e.id == id; });
}

void Control::removeAllActions(unsigned events) {
  for (auto& e : actions_) e.events &= ~events;
  std::erase_if(actions_, [](const Entry& e) { return e.events == 0; });
}

void Control::sendActionsForControlEvents(unsigned events) {
  auto keep = shared_from_this();
  // Actions may add or remove actions while they run.
  auto list = actions_;
  for (auto& e : list)
    if ((e.events & events) && e.action) e.action(*this);
}

unsigned Control::state() const {
  unsigned s = ControlStateNormal;
  if (highlighted_) s |= ControlStateHighlighted;
  if (!enabled_) s |= ControlStateDisabled;
  if (selected_) s |= ControlStateSelected;
  return s;
}

std::shared_ptr<View> Control::hitTest(Point p) {
  if (!enabled_) return nullptr;
  return View::hitTest(p);
}

void Control::touchesBegan(const Touch& t) {
  tracking_ = true;
  setHighlighted(true);
  (void)t;
  sendActionsForControlEvents(ControlEventTouchDown);
}

void Control::touchesMoved(const Touch& t) {
  if (!tracking_) return;
  bool inside = pointInside(t.locationIn(this));
  if (inside != isHighlighted()) setHighlighted(inside);
}

void Control::touchesEnded(const Touch& t) {
  if (!tracking_) return;
  tracking_ = false;
  setHighlighted(false);
  Point p = t.locationIn(this);
  if (pointInside(p)) {
    didTapAt(p);
    sendActionsForControlEvents(ControlEventTouchUpInside);
  } else {
    sendActionsForControlEvents(ControlEventTouchUpOutside);
  }
}

void Control::touchesCancelled(const Touch&) {
  if (!tracking_) return;
  tracking_ = false;
  setHighlighted(false);
  sendActionsForControlEvents(ControlEventTouchCancel);
}

}  // namespace vexa

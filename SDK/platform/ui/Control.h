// A control: a view that tracks a touch and sends actions for control
// events. A touch that ends inside sends TouchUpInside (the control stays
// highlighted while the finger is inside); a disabled control takes no
// touches. Actions are owned by the control; capture the target weakly.
// Controls are accessibility elements. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "vexa/platform/ui/View.h"

namespace vexa {

enum ControlEvent : unsigned {
  ControlEventTouchDown = 1 << 0,
  ControlEventTouchUpInside = 1 << 6,
  ControlEventTouchUpOutside = 1 << 7,
  ControlEventTouchCancel = 1 << 8,
  ControlEventValueChanged = 1 << 12,
};

enum ControlState : unsigned {
  ControlStateNormal = 0,
  ControlStateHighlighted = 1 << 0,
  ControlStateDisabled = 1 << 1,
  ControlStateSelected = 1 << 2,
};

class Control : public View {
 public:
  using Action = std::function<void(Control& sender)>;
  using ActionId = uint64_t;

  explicit Control(Rect frame = {}) : View(frame) {}

  // Adds an action for the events (a mask); the id removes it.
  ActionId addAction(unsigned events, Action action);
  void removeAction(ActionId id);
  void removeAllActions(unsigned events);
  // Runs the actions registered for any of the events.
  void sendActionsForControlEvents(unsigned events);

  bool isEnabled() const { return enabled_; }
  virtual void setEnabled(bool enabled) { enabled_ = enabled; }
  bool isSelected() const { return selected_; }
  virtual void setSelected(bool selected) { selected_ = selected; }
  bool isHighlighted() const { return highlighted_; }
  virtual void setHighlighted(bool highlighted) { highlighted_ = highlighted; }
  // The combined ControlState bits.
  unsigned state() const;

  std::shared_ptr<View> hitTest(Point point) override;
  void touchesBegan(const Touch& touch) override;
  void touchesMoved(const Touch& touch) override;
  void touchesEnded(const Touch& touch) override;
  void touchesCancelled(const Touch& touch) override;

 protected:
  bool defaultIsAccessibilityElement() const override { return true; }
  // Called for a touch that ends inside, before TouchUpInside is sent;
  // controls with their own meaning of a tap (page dots) override.
  virtual void didTapAt(Point point) { (void)point; }

 private:
  struct Entry {
    ActionId id;
    unsigned events;
    Action action;
  };
  std::vector<Entry> actions_;
  ActionId nextId_ = 1;
  bool enabled_ = true;
  bool selected_ = false;
  bool highlighted_ = false;
  bool tracking_ = false;
};

}  // namespace vexa

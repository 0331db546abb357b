#include "vexa/platform/ui/View.h"

#include <algorithm>
#include <cmath>

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/ui/GestureRecognizer.h"
#include "vexa/platform/ui/ViewController.h"
#include "vexa/platform/ui/Window.h"

namespace vexa {

Point Touch::locationIn(const View* v) const {
  if (!v) return locationInWindow;
  return v->convertPointFromView(locationInWindow, nullptr);
}

View::View(Rect frame) : frame_(frame) {}

View::~View() {
  // Children may outlive their parent through other owners.
  for (auto& child : subviews_) child->superview_ = nullptr;
  for (auto& r : gestureRecognizers_) r->attachToView(nullptr);
}

void View::noteAnimatedChange() {
  if (const auto& current = ViewAnimation::current()) lastAnimation_ = *current;
}

// --- Geometry

void View::setFrame(const Rect& frame) { applyGeometry(frame, boundsOrigin_); }

void View::setBounds(const Rect& bounds) {
  Point c = center();
  Rect f(c.x - bounds.width() / 2, c.y - bounds.height() / 2, bounds.width(), bounds.height());
  if (bounds.size == frame_.size) f.origin = frame_.origin;
  applyGeometry(f, bounds.origin);
}

void View::setCenter(Point c) {
  applyGeometry(Rect(c.x - frame_.width() / 2, c.y - frame_.height() / 2, frame_.width(),
                     frame_.height()),
                boundsOrigin_);
}

void View::applyGeometry(const Rect& frame, Point boundsOrigin) {
  if (frame == frame_ && boundsOrigin == boundsOrigin_) return;
  noteAnimatedChange();
  Rect oldBounds = bounds();
  Rect newBounds(boundsOrigin, frame.size);
  bool boundsChange = oldBounds != newBounds;
  if (boundsChange) willChangeBounds(newBounds);
  frame_ = frame;
  boundsOrigin_ = boundsOrigin;
  if (oldBounds.size != frame.size) {
    resizeSubviews(oldBounds.size);
    setNeedsLayout();
  }
  if (boundsChange) didChangeBounds(oldBounds);
}

void View::resizeSubviews(Size oldSize) {
  if (!autoresizesSubviews_) return;
  auto children = subviews_;
  for (auto& child : children) child->resizeWithOldSuperviewSize(oldSize);
}

namespace {
// Spreads `delta` over the flexible parts of one axis in proportion to their
// old lengths (evenly when they are all zero). Returns the shifts of origin
// and length.
std::pair<double, double> distribute(double origin, double length, double superLength,
                                     bool flexMin, bool flexLength, bool flexMax, double delta) {
  double parts[3] = {origin, length, superLength - origin - length};
  bool flex[3] = {flexMin, flexLength, flexMax};
  int count = 0;
  double total = 0;
  for (int i = 0; i < 3; ++i) {
    if (!flex[i]) continue;
    ++count;
    total += std::max(0.0, parts[i]);
  }
  if (count == 0) return {0, 0};
  double share[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    if (!flex[i]) continue;
    share[i] = total > 0 ? delta * std::max(0.0, parts[i]) / total : delta / count;
  }
  return {share[0], share[1]};
}
}  // namespace

void View::resizeWithOldSuperviewSize(Size oldSuperSize) {
  if (autoresizingMask_ == AutoresizingNone || !superview_) return;
  Size newSuper = superview_->frame_.size;
  unsigned m = autoresizingMask_;
  auto [dx, dw] = distribute(frame_.x(), frame_.width(), oldSuperSize.width,
                             m & AutoresizingFlexibleLeftMargin, m & AutoresizingFlexibleWidth,
                             m & AutoresizingFlexibleRightMargin,
                             newSuper.width - oldSuperSize.width);
  auto [dy, dh] = distribute(frame_.y(), frame_.height(), oldSuperSize.height,
                             m & AutoresizingFlexibleTopMargin, m & AutoresizingFlexibleHeight,
                             m & AutoresizingFlexibleBottomMargin,
                             newSuper.height - oldSuperSize.height);
  setFrame(Rect(frame_.x() + dx, frame_.y() + dy, frame_.width() + dw, frame_.height() + dh));
}

// --- Tree

void View::attach(std::shared_ptr<View> view, size_t index) {
  VX_ASSERT_MAIN_THREAD();
  if (!view || view.get() == this) return;
  Window* newWindow = window();
  bool sameParent = view->superview_ == this;
  if (!sameParent) {
    view->willMoveToSuperview(this);
    if (view->window() != newWindow) view->notifyWindowChange(newWindow, true);
    Window* oldWindow = view->window();
    view->detachFromSuperview();
    view->superview_ = this;
    index = std::min(index, subviews_.size());
    subviews_.insert(subviews_.begin() + static_cast<ptrdiff_t>(index), view);
    if (oldWindow != newWindow) view->notifyWindowChange(newWindow, false);
    view->didMoveToSuperview();
  } else {
    auto it = std::find(subviews_.begin(), subviews_.end(), view);
    size_t old = static_cast<size_t>(it - subviews_.begin());
    subviews_.erase(it);
    if (index > old) --index;
    index = std::min(index, subviews_.size());
    subviews_.insert(subviews_.begin() + static_cast<ptrdiff_t>(index), view);
  }
  view->markSubtreeNeedsLayout();
}

void View::addSubview(std::shared_ptr<View> view) { attach(std::move(view), subviews_.size()); }

void View::insertSubview(std::shared_ptr<View> view, size_t index) { attach(std::move(view), index); }

void View::insertSubviewBelow(std::shared_ptr<View> view, const View* sibling) {
  auto it = std::find_if(subviews_.begin(), subviews_.end(),
                         [sibling](const auto& v) { return v.get() == sibling; });
  attach(std::move(view), it == subviews_.end() ? subviews_.size()
                                                 : static_cast<size_t>(it - subviews_.begin()));
}

void View::insertSubviewAbove(std::shared_ptr<View> view, const View* sibling) {
  auto it = std::find_if(subviews_.begin(), subviews_.end(),
                         [sibling](const auto& v) { return v.get() == sibling; });
  attach(std::move(view), it == subviews_.end() ? subviews_.size()
                                                 : static_cast<size_t>(it - subviews_.begin()) + 1);
}

void View::detachFromSuperview() {
  if (!superview_) return;
  auto& siblings = superview_->subviews_;
  auto it = std::find_if(siblings.begin(), siblings.end(),
                         [this](const auto& v) { return v.get() == this; });
  superview_ = nullptr;
  // Erasing may drop the last owner; keep this view alive until we return.
  if (it != siblings.end()) {
    auto keep = *it;
    siblings.erase(it);
  }
}

void View::removeFromSuperview() {
  VX_ASSERT_MAIN_THREAD();
  if (!superview_) return;
  auto keep = shared_from_this();
  willMoveToSuperview(nullptr);
  bool inWindow = window() != nullptr;
  if (inWindow) notifyWindowChange(nullptr, true);
  detachFromSuperview();
  if (inWindow) notifyWindowChange(nullptr, false);
  didMoveToSuperview();
}

void View::notifyWindowChange(Window* newWindow, bool before) {
  // A responder the user can no longer see takes no more input.
  if (before && isFirstResponder()) resignFirstResponder();
  if (before) willMoveToWindow(newWindow); else didMoveToWindow();
  auto children = subviews_;
  for (auto& child : children) child->notifyWindowChange(newWindow, before);
}

void View::bringSubviewToFront(const View* view) {
  auto it = std::find_if(subviews_.begin(), subviews_.end(),
                         [view](const auto& v) { return v.get() == view; });
  if (it == subviews_.end()) return;
  auto keep = *it;
  subviews_.erase(it);
  subviews_.push_back(keep);
}

void View::sendSubviewToBack(const View* view) {
  auto it = std::find_if(subviews_.begin(), subviews_.end(),
                         [view](const auto& v) { return v.get() == view; });
  if (it == subviews_.end()) return;
  auto keep = *it;
  subviews_.erase(it);
  subviews_.insert(subviews_.begin(), keep);
}

bool View::isDescendantOf(const View* ancestor) const {
  for (const View* v = this; v; v = v->superview_)
    if (v == ancestor) return true;
  return false;
}

View* View::rootView() {
  View* v = this;
  while (v->superview_) v = v->superview_;
  return v;
}

Window* View::window() const {
  const View* v = this;
  while (v->superview_) v = v->superview_;
  return dynamic_cast<Window*>(const_cast<View*>(v));
}

std::shared_ptr<View> View::viewWithTag(int tag) {
  if (tag_ == tag) return shared_from_this();
  for (auto& child : subviews_)
    if (auto found = child->viewWithTag(tag)) return found;
  return nullptr;
}

// --- Appearance

void View::setHidden(bool hidden) {
  noteAnimatedChange();
  hidden_ = hidden;
}

void View::setAlpha(double alpha) {
  noteAnimatedChange();
  alpha_ = std::clamp(alpha, 0.0, 1.0);
}

void View::setBackgroundColor(std::optional<Color> color) {
  noteAnimatedChange();
  backgroundColor_ = color;
}

Color View::tintColor() const {
  for (const View* v = this; v; v = v->superview_)
    if (v->tintColor_) return *v->tintColor_;
  return Color::rgb(0, 0.478, 1);
}

// --- Responder

bool View::becomeFirstResponder() {
  Window* w = window();
  if (!w || !canBecomeFirstResponder()) return false;
  if (isFirstResponder()) return true;
  if (auto current = w->firstResponder()) {
    // Handing over: the keyboard changes once, not down and up again.
    w->firstResponder_.reset();
    current->didResignFirstResponder();
  }
  w->setFirstResponder(shared_from_this());
  didBecomeFirstResponder();
  return true;
}

bool View::resignFirstResponder() {
  Window* w = window();
  if (!w || w->firstResponder().get() != this) return true;
  w->setFirstResponder(nullptr);
  didResignFirstResponder();
  return true;
}

bool View::isFirstResponder() const {
  Window* w = window();
  return w && w->firstResponder().get() == this;
}

void View::reloadInputViews() {
  if (Window* w = window(); w && w->firstResponder().get() == this) w->keyboardHost().update();
}

// --- Accessibility

bool View::isAccessibilityElement() const {
  return accessibilityElement_.value_or(defaultIsAccessibilityElement());
}

std::string View::accessibilityLabel() const {
  return accessibilityLabel_ ? *accessibilityLabel_ : defaultAccessibilityLabel();
}

// --- Interaction

bool View::pointInside(Point p) const { return bounds().contains(p); }

std::shared_ptr<View> View::hitTest(Point p) {
  if (hidden_ || !userInteractionEnabled_ || alpha_ < 0.01) return nullptr;
  if (!pointInside(p)) return nullptr;
  auto children = subviews_;
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    const auto& child = *it;
    Point local{p.x - child->frame_.x() + child->boundsOrigin_.x,
                p.y - child->frame_.y() + child->boundsOrigin_.y};
    if (auto hit = child->hitTest(local)) return hit;
  }
  return shared_from_this();
}

void View::addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer) {
  if (!recognizer) return;
  if (std::find(gestureRecognizers_.begin(), gestureRecognizers_.end(), recognizer) !=
      gestureRecognizers_.end())
    return;
  if (View* old = recognizer->view()) old->removeGestureRecognizer(recognizer.get());
  recognizer->attachToView(this);
  gestureRecognizers_.push_back(std::move(recognizer));
}

void View::removeGestureRecognizer(const GestureRecognizer* recognizer) {
  auto it = std::find_if(gestureRecognizers_.begin(), gestureRecognizers_.end(),
                         [recognizer](const auto& r) { return r.get() == recognizer; });
  if (it == gestureRecognizers_.end()) return;
  (*it)->attachToView(nullptr);
  gestureRecognizers_.erase(it);
}

void View::touchesBegan(const Touch& t) { if (superview_) superview_->touchesBegan(t); }
void View::touchesMoved(const Touch& t) { if (superview_) superview_->touchesMoved(t); }
void View::touchesEnded(const Touch& t) { if (superview_) superview_->touchesEnded(t); }
void View::touchesCancelled(const Touch& t) { if (superview_) superview_->touchesCancelled(t); }

// --- Layout

void View::markSubtreeNeedsLayout() {
  for (View* v = this; v && !v->subtreeNeedsLayout_; v = v->superview_) v->subtreeNeedsLayout_ = true;
  for (View* v = superview_; v; v = v->superview_) v->subtreeNeedsLayout_ = true;
  if (Window* w = window()) w->scheduleLayoutPass();
}

void View::setNeedsLayout() {
  VX_ASSERT_MAIN_THREAD();
  needsLayout_ = true;
  markSubtreeNeedsLayout();
}

void View::layoutIfNeeded() {
  VX_ASSERT_MAIN_THREAD();
  if (needsLayout_) {
    needsLayout_ = false;
    // Read again after the first hook, which may release its controller.
    if (viewController_) viewController_->viewWillLayoutSubviews();
    layoutSubviews();
    if (viewController_) viewController_->viewDidLayoutSubviews();
  }
  subtreeNeedsLayout_ = false;
  auto children = subviews_;
  for (auto& child : children)
    if (child->superview_ == this && (child->needsLayout_ || child->subtreeNeedsLayout_))
      child->layoutIfNeeded();
}

Size View::sizeThatFits(Size) const { return frame_.size; }

void View::sizeToFit() {
  Size s = sizeThatFits(frame_.size);
  setFrame(Rect(frame_.origin, s));
}

// --- Coordinates

Point View::toRoot(Point p) const {
  // Root coordinates are the root view's own bounds coordinates.
  for (const View* v = this; v->superview_; v = v->superview_) {
    p.x += v->frame_.x() - v->boundsOrigin_.x;
    p.y += v->frame_.y() - v->boundsOrigin_.y;
  }
  return p;
}

Point View::fromRoot(Point p) const {
  Point zero = toRoot(Point{0, 0});
  return Point{p.x - zero.x, p.y - zero.y};
}

Point View::convertPointToView(Point p, const View* view) const {
  Point root = toRoot(p);
  return view ? view->fromRoot(root) : root;
}

Point View::convertPointFromView(Point p, const View* view) const {
  Point root = view ? view->toRoot(p) : p;
  return fromRoot(root);
}

Rect View::convertRectToView(const Rect& r, const View* view) const {
  return Rect(convertPointToView(r.origin, view), r.size);
}

Rect View::convertRectFromView(const Rect& r, const View* view) const {
  return Rect(convertPointFromView(r.origin, view), r.size);
}

void View::draw(cairo_t*, const Rect&) const {}

}  // namespace vexa

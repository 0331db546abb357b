#include "vexa/platform/ui/ScrollView.h"

#include <algorithm>
#include <cmath>

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/ui/PanGestureRecognizer.h"

namespace vexa {

ScrollView::ScrollView(Rect frame) : View(frame) {
  setClipsToBounds(true);
  // The recogniser belongs to this view, which detaches it when it goes, so
  // view() is this view or nothing.
  pan_ = PanGestureRecognizer::create([](GestureRecognizer& r) {
    if (auto* self = dynamic_cast<ScrollView*>(r.view()))
      self->handlePan(static_cast<const PanGestureRecognizer&>(r));
  });
  pan_->setAllowableMovement(kDragThreshold);
  pan_->setShouldBegin([](GestureRecognizer& r) {
    auto* self = dynamic_cast<ScrollView*>(r.view());
    return self && self->panShouldBegin(static_cast<const PanGestureRecognizer&>(r));
  });
  addGestureRecognizer(pan_);
}


Point ScrollView::minimumContentOffset() const { return Point{-contentInset_.left, -contentInset_.top}; }

Point ScrollView::maximumContentOffset() const {
  Size b = bounds().size;
  Point min = minimumContentOffset();
  return Point{std::max(min.x, contentSize_.width + contentInset_.right - b.width),
               std::max(min.y, contentSize_.height + contentInset_.bottom - b.height)};
}

Point ScrollView::clampedOffset(Point p) const {
  Point min = minimumContentOffset(), max = maximumContentOffset();
  return Point{std::clamp(p.x, min.x, max.x), std::clamp(p.y, min.y, max.y)};
}

void ScrollView::setContentOffset(Point offset, bool animated) {
  Rect b = bounds();
  bool changed = offset != b.origin;
  if (animated) {
    ViewAnimation::animate(kScrollAnimationDuration, [&] { setBounds(Rect(offset, b.size)); });
  } else {
    setBounds(Rect(offset, b.size));
  }
  if (changed)
    if (auto d = scrollDelegate(); d && d->scrollViewDidScroll) d->scrollViewDidScroll(*this);
  if (animated) {
    std::weak_ptr<View> weak = weak_from_this();
    MainQueue::shared().async([weak] {
      auto self = std::static_pointer_cast<ScrollView>(weak.lock());
      if (!self) return;
      if (auto d = self->scrollDelegate(); d && d->scrollViewDidEndScrollingAnimation)
        d->scrollViewDidEndScrollingAnimation(*self);
    });
  }
}

void ScrollView::scrollRectToVisible(const Rect& r, bool animated) {
  Rect b = bounds();
  Point o = b.origin;
  if (r.maxX() > b.maxX()) o.x = r.maxX() - b.width();
  if (r.minX() < o.x) o.x = r.minX();
  if (r.maxY() > b.maxY()) o.y = r.maxY() - b.height();
  if (r.minY() < o.y) o.y = r.minY();
  o = clampedOffset(o);
  if (o != b.origin) setContentOffset(o, animated);
}

bool ScrollView::canScrollHorizontally() const {
  return maximumContentOffset().x > minimumContentOffset().x;
}

bool ScrollView::canScrollVertically() const {
  return maximumContentOffset().y > minimumContentOffset().y;
}

bool ScrollView::panShouldBegin(const PanGestureRecognizer& pan) const {
  if (!scrollEnabled_) return false;
  Point t = pan.translation();
  return std::abs(t.x) > std::abs(t.y) ? canScrollHorizontally() : canScrollVertically();
}

void ScrollView::handlePan(const PanGestureRecognizer& pan) {
  const Touch& t = pan.touch();
  switch (pan.state()) {
    case GestureRecognizerState::Began:
      dragging_ = true;
      offsetAtStart_ = contentOffset();
      lastPoint_ = t.startLocationInWindow;
      lastTime_ = t.startTimestamp;
      velocity_ = Point{};
      if (auto d = scrollDelegate(); d && d->scrollViewWillBeginDragging)
        d->scrollViewWillBeginDragging(*this);
      [[fallthrough]];
    case GestureRecognizerState::Changed: {
      if (!dragging_) return;
      double dt = t.timestamp - lastTime_;
      if (dt > 0)
        velocity_ = Point{(t.locationInWindow.x - lastPoint_.x) / dt,
                          (t.locationInWindow.y - lastPoint_.y) / dt};
      lastPoint_ = t.locationInWindow;
      lastTime_ = t.timestamp;
      // Content follows the finger on the axes it can scroll along.
      Point travel = pan.translation();
      Point target{offsetAtStart_.x - travel.x, offsetAtStart_.y - travel.y};
      if (!canScrollHorizontally()) target.x = offsetAtStart_.x;
      if (!canScrollVertically()) target.y = offsetAtStart_.y;
      setContentOffset(clampedOffset(target));
      return;
    }
    case GestureRecognizerState::Ended:
      if (dragging_) endDrag(velocity_);
      return;
    case GestureRecognizerState::Cancelled:
      if (dragging_) endDrag(Point{});
      return;
    default: return;
  }
}

void ScrollView::touchesBegan(const Touch&) {
  tracking_ = true;
  travelled_ = false;
}

void ScrollView::touchesMoved(const Touch& t) {
  if (!tracking_) return;
  double dx = t.locationInWindow.x - t.startLocationInWindow.x;
  double dy = t.locationInWindow.y - t.startLocationInWindow.y;
  if (std::hypot(dx, dy) > kDragThreshold) travelled_ = true;
}

void ScrollView::touchesEnded(const Touch& t) {
  if (!tracking_) return;
  tracking_ = false;
  if (!travelled_ && !dragging_) didTapAt(t.locationIn(this));
}

void ScrollView::touchesCancelled(const Touch&) { tracking_ = false; }

Point ScrollView::pagedTarget(Point velocity) const {
  Size page = bounds().size;
  Point o = contentOffset();
  auto settle = [](double offset, double start, double length, double v) {
    if (length <= 0) return offset;
    double startPage = std::round(start / length);
    double page = std::round(offset / length);
    // A flick moves one page even when the finger travelled less than half.
    if (v < -300) page = std::max(page, startPage + 1);
    if (v > 300) page = std::min(page, startPage - 1);
    page = std::clamp(page, startPage - 1, startPage + 1);
    return page * length;
  };
  return clampedOffset(Point{settle(o.x, offsetAtStart_.x, page.width, velocity.x),
                             settle(o.y, offsetAtStart_.y, page.height, velocity.y)});
}

void ScrollView::endDrag(Point velocity) {
  dragging_ = false;
  Point target = pagingEnabled_ ? pagedTarget(velocity) : contentOffset();
  bool decelerate = target != contentOffset();
  if (auto d = scrollDelegate(); d && d->scrollViewDidEndDragging)
    d->scrollViewDidEndDragging(*this, decelerate);
  if (!decelerate) return;
  decelerating_ = true;
  setContentOffset(target);
  std::weak_ptr<View> weak = weak_from_this();
  MainQueue::shared().async([weak] {
    auto self = std::static_pointer_cast<ScrollView>(weak.lock());
    if (!self) return;
    self->decelerating_ = false;
    if (auto d = self->scrollDelegate(); d && d->scrollViewDidEndDecelerating)
      d->scrollViewDidEndDecelerating(*self);
  });
}

}  // namespace vexa

// A scroll view: a window onto content larger than itself. The content
// offset is the bounds origin. Dragging follows the finger (after 10 points
// of travel); when the finger lifts, a paging view settles on a page, the
// settled offset is applied at once and the end of deceleration is
// reported on the main queue. Programmatic scrolling with animation ends
// the same way (didEndScrollingAnimation). Main thread only.
//
// Drags go through the view's PanGestureRecognizer, which sees the touches
// of every subview. It begins only when this view can move along the
// drag's main axis (the larger component of the travel when the 10 points
// are passed); otherwise it fails and leaves the drag to the nearest
// ancestor scroll view that can. Once a drag begins, the touched view (a
// button in a cell, say) gets touchesCancelled and stops tracking. A touch
// that never travelled 10 points and ends on the view is a tap
// (didTapAt).
#pragma once

#include <functional>
#include <memory>

#include "vexa/platform/ui/View.h"

namespace vexa {

class PanGestureRecognizer;
class ScrollView;

struct ScrollViewDelegate {
  virtual ~ScrollViewDelegate() = default;
  std::function<void(ScrollView&)> scrollViewDidScroll;
  std::function<void(ScrollView&)> scrollViewWillBeginDragging;
  std::function<void(ScrollView&, bool willDecelerate)> scrollViewDidEndDragging;
  std::function<void(ScrollView&)> scrollViewDidEndDecelerating;
  std::function<void(ScrollView&)> scrollViewDidEndScrollingAnimation;
};

class ScrollView : public View {
 public:
  static constexpr double kDragThreshold = 10;
  static constexpr double kScrollAnimationDuration = 0.3;

  explicit ScrollView(Rect frame = {});
  static std::shared_ptr<ScrollView> create(Rect frame = {}) {
    return std::make_shared<ScrollView>(frame);
  }

  Size contentSize() const { return contentSize_; }
  void setContentSize(Size size) { contentSize_ = size; }
  Point contentOffset() const { return bounds().origin; }
  // Moves the content; reports didScroll when it changed. Animated moves
  // also report didEndScrollingAnimation on the main queue.
  void setContentOffset(Point offset, bool animated = false);
  EdgeInsets contentInset() const { return contentInset_; }
  void setContentInset(EdgeInsets insets) { contentInset_ = insets; }
  // The offsets the content can rest at.
  Point minimumContentOffset() const;
  Point maximumContentOffset() const;
  // Scrolls the least needed to show `rect` (content coordinates).
  void scrollRectToVisible(const Rect& rect, bool animated);

  bool isPagingEnabled() const { return pagingEnabled_; }
  void setPagingEnabled(bool on) { pagingEnabled_ = on; }
  bool isScrollEnabled() const { return scrollEnabled_; }
  void setScrollEnabled(bool on) { scrollEnabled_ = on; }
  bool showsHorizontalScrollIndicator() const { return showsHorizontal_; }
  void setShowsHorizontalScrollIndicator(bool on) { showsHorizontal_ = on; }
  bool showsVerticalScrollIndicator() const { return showsVertical_; }
  void setShowsVerticalScrollIndicator(bool on) { showsVertical_ = on; }
  bool isDragging() const { return dragging_; }
  bool isDecelerating() const { return decelerating_; }
  bool scrollsToTop() const { return scrollsToTop_; }
  void setScrollsToTop(bool on) { scrollsToTop_ = on; }
  // Whether the content can move along an axis at all.
  bool canScrollHorizontally() const;
  bool canScrollVertically() const;
  const std::shared_ptr<PanGestureRecognizer>& panGestureRecognizer() const { return pan_; }

  void setDelegate(std::weak_ptr<ScrollViewDelegate> delegate) { scrollDelegate_ = std::move(delegate); }
  std::shared_ptr<ScrollViewDelegate> scrollDelegate() const { return scrollDelegate_.lock(); }

  void touchesBegan(const Touch& touch) override;
  void touchesMoved(const Touch& touch) override;
  void touchesEnded(const Touch& touch) override;
  void touchesCancelled(const Touch& touch) override;

 protected:
  // A touch that ended without becoming a drag (bounds coordinates).
  virtual void didTapAt(Point point) { (void)point; }
  Point clampedOffset(Point offset) const;

 private:
  bool panShouldBegin(const PanGestureRecognizer& pan) const;
  void handlePan(const PanGestureRecognizer& pan);
  void endDrag(Point velocity);
  Point pagedTarget(Point velocity) const;

  Size contentSize_;
  EdgeInsets contentInset_;
  bool pagingEnabled_ = false;
  bool scrollEnabled_ = true;
  bool showsHorizontal_ = true;
  bool showsVertical_ = true;
  bool scrollsToTop_ = true;
  bool tracking_ = false;
  bool travelled_ = false;  // the tracked touch went past the drag threshold
  bool dragging_ = false;
  bool decelerating_ = false;
  std::shared_ptr<PanGestureRecognizer> pan_;
  Point offsetAtStart_;
  Point lastPoint_;
  double lastTime_ = 0;
  Point velocity_;
  std::weak_ptr<ScrollViewDelegate> scrollDelegate_;
};

}  // namespace vexa

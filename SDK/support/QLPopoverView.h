// A popover: a white rounded box with an arrow that points at an anchor
// point, holding a content view, shown above (position Up) or below (Down)
// the anchor inside a container view. Behind it lies an overlay over the
// whole container: dimmed and closing the popover on a tap, or clear and
// letting touches through (mask None).
//
// Geometry: arrow 11 x 9, corner radius 5, 4 points between the anchor and
// the arrow tip, at least 10 points between the box and the container's
// sides, the content inset around the content. Showing and dismissing apply
// at once; their animations (in-duration 0.4 with a spring, out-duration
// 0.1 by default) are recorded on the view. Showing an open popover again
// moves it and swaps its content. Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "vexa/platform/ui/View.h"

namespace vexa {

enum class QLPopoverPosition { Up = 1, Down = 2 };
enum class QLPopoverMaskType { Black, None };

class QLPopoverView : public View {
 public:
  QLPopoverView();
  static std::shared_ptr<QLPopoverView> create() { return std::make_shared<QLPopoverView>(); }

  Size arrowSize() const { return arrowSize_; }
  void setArrowSize(Size size) { arrowSize_ = size; }
  double popoverCornerRadius() const { return popoverCornerRadius_; }
  void setPopoverCornerRadius(double radius) { popoverCornerRadius_ = radius; }
  Color popoverColor() const { return popoverColor_; }
  void setPopoverColor(Color color) { popoverColor_ = color; }
  double betweenAtViewAndArrowHeight() const { return arrowGap_; }
  void setBetweenAtViewAndArrowHeight(double gap) { arrowGap_ = gap; }
  double sideEdge() const { return sideEdge_; }
  void setSideEdge(double edge) { sideEdge_ = edge; }
  EdgeInsets contentInset() const { return contentInset_; }
  void setContentInset(EdgeInsets inset) { contentInset_ = inset; }
  bool applyShadow() const { return applyShadow_; }
  void setApplyShadow(bool on) { applyShadow_ = on; }
  double animationIn() const { return animationIn_; }
  void setAnimationIn(double seconds) { animationIn_ = seconds; }
  double animationOut() const { return animationOut_; }
  void setAnimationOut(double seconds) { animationOut_ = seconds; }
  bool animationSpring() const { return animationSpring_; }
  void setAnimationSpring(bool on) { animationSpring_ = on; }
  bool isAnimated() const { return animated_; }
  void setAnimated(bool on) { animated_ = on; }
  QLPopoverMaskType maskType() const { return maskType_; }
  // Takes effect on the next show.
  void setMaskType(QLPopoverMaskType type) { maskType_ = type; }
  // Called (on the main queue) after each dismissal.
  void setDidDismissHandler(std::function<void()> handler) { didDismiss_ = std::move(handler); }

  // `point` is in `inView`'s coordinates.
  void showAtPoint(Point point, QLPopoverPosition position, std::shared_ptr<View> contentView,
                   std::shared_ptr<View> inView);
  void dismiss();

  bool isShowing() const { return superview() != nullptr; }
  const std::shared_ptr<View>& overlay() const { return overlay_; }
  const std::shared_ptr<View>& contentView() const { return contentView_; }
  QLPopoverPosition position() const { return position_; }
  // The arrow tip, in this view's coordinates.
  Point arrowPoint() const { return arrowTip_; }

  void draw(cairo_t* cr, const Rect& rect) const override;

 private:
  void tracePath(cairo_t* cr, double dx, double dy) const;

  Size arrowSize_{11, 9};
  double popoverCornerRadius_ = 5;
  Color popoverColor_ = Color::whiteColor();
  double arrowGap_ = 4;
  double sideEdge_ = 10;
  EdgeInsets contentInset_;
  bool applyShadow_ = true;
  double animationIn_ = 0.4;
  double animationOut_ = 0.1;
  bool animationSpring_ = true;
  bool animated_ = true;
  QLPopoverMaskType maskType_ = QLPopoverMaskType::Black;
  std::function<void()> didDismiss_;
  std::shared_ptr<View> overlay_;
  std::shared_ptr<View> contentView_;
  QLPopoverPosition position_ = QLPopoverPosition::Up;
  Point arrowTip_;
};

}  // namespace vexa

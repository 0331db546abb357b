#include "vexa/support/QLPopoverView.h"

#include <algorithm>
#include <cmath>

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/ui/TapGestureRecognizer.h"

namespace vexa {

QLPopoverView::QLPopoverView() : View() {
  overlay_ = View::create();
  overlay_->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
  // The overlay lives only while the popover shows; `this` outlives it there.
  overlay_->addGestureRecognizer(TapGestureRecognizer::create([this](GestureRecognizer&) {
    if (maskType_ == QLPopoverMaskType::Black) dismiss();
  }));
}

void QLPopoverView::showAtPoint(Point point, QLPopoverPosition position,
                                std::shared_ptr<View> contentView, std::shared_ptr<View> inView) {
  if (!inView) return;
  position_ = position;
  if (contentView_ != contentView) {
    if (contentView_) contentView_->removeFromSuperview();
    contentView_ = std::move(contentView);
  }
  Size content = contentView_ ? contentView_->frame().size : Size{};
  const EdgeInsets& e = contentInset_;
  double bodyW = content.width + e.left + e.right;
  double bodyH = content.height + e.top + e.bottom;
  Rect container = inView->bounds();
  double x = point.x - bodyW / 2;
  double maxX = container.maxX() - sideEdge_ - bodyW;
  x = std::max(container.minX() + sideEdge_, std::min(x, maxX));
  bool up = position == QLPopoverPosition::Up;
  double y = up ? point.y - arrowGap_ - arrowSize_.height - bodyH : point.y + arrowGap_;
  setFrame(Rect(x, y, bodyW, bodyH + arrowSize_.height));

  double bodyTop = up ? 0 : arrowSize_.height;
  double minTip = popoverCornerRadius_ + arrowSize_.width / 2;
  double tipX = std::clamp(point.x - x, minTip, std::max(minTip, bodyW - minTip));
  arrowTip_ = Point{tipX, up ? bodyH + arrowSize_.height : 0};
  if (contentView_) {
    contentView_->setFrame(Rect(e.left, bodyTop + e.top, content.width, content.height));
    if (contentView_->superview() != this) addSubview(contentView_);
  }

  bool dim = maskType_ == QLPopoverMaskType::Black;
  overlay_->setBackgroundColor(dim ? std::optional<Color>(Color::black().withAlpha(0.3)) : std::nullopt);
  overlay_->setUserInteractionEnabled(dim);
  overlay_->setFrame(container);
  bool wasShowing = isShowing();
  inView->addSubview(overlay_);
  inView->addSubview(shared_from_this());
  if (animated_ && !wasShowing) {
    setAlpha(0);
    auto show = [this] { setAlpha(1); };
    if (animationSpring_) ViewAnimation::animateWithSpring(animationIn_, 0, 0.7, 0, show);
    else ViewAnimation::animate(animationIn_, 0, AnimationCurve::EaseOut, show);
  } else {
    setAlpha(1);
  }
}

void QLPopoverView::dismiss() {
  if (!isShowing()) return;
  auto keep = shared_from_this();
  auto done = [weak = std::weak_ptr<View>(keep)](bool) {
    auto self = std::static_pointer_cast<QLPopoverView>(weak.lock());
    if (self && self->didDismiss_) self->didDismiss_();
  };
  if (animated_) ViewAnimation::animate(animationOut_, 0, AnimationCurve::EaseIn, [this] { setAlpha(0); }, done);
  else MainQueue::shared().async([done] { done(true); });
  // The end state is reached at once: the popover and its overlay go now.
  overlay_->removeFromSuperview();
  removeFromSuperview();
}

void QLPopoverView::tracePath(cairo_t* cr, double dx, double dy) const {
  Rect b = bounds();
  bool up = position_ == QLPopoverPosition::Up;
  double top = (up ? 0 : arrowSize_.height) + dy, bottom = top + b.height() - arrowSize_.height;
  double left = dx, right = dx + b.width();
  double r = std::min({popoverCornerRadius_, b.width() / 2, (bottom - top) / 2});
  double tip = arrowTip_.x + dx, half = arrowSize_.width / 2;
  cairo_new_path(cr);
  cairo_move_to(cr, left + r, top);
  if (!up) {
    cairo_line_to(cr, tip - half, top);
    cairo_line_to(cr, tip, top - arrowSize_.height);
    cairo_line_to(cr, tip + half, top);
  }
  cairo_arc(cr, right - r, top + r, r, -M_PI / 2, 0);
  cairo_arc(cr, right - r, bottom - r, r, 0, M_PI / 2);
  if (up) {
    cairo_line_to(cr, tip + half, bottom);
    cairo_line_to(cr, tip, bottom + arrowSize_.height);
    cairo_line_to(cr, tip - half, bottom);
  }
  cairo_arc(cr, left + r, bottom - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, left + r, top + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void QLPopoverView::draw(cairo_t* cr, const Rect&) const {
  if (applyShadow_) {
    tracePath(cr, 0, 2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.15);
    cairo_fill(cr);
  }
  tracePath(cr, 0, 0);
  cairo_set_source_rgba(cr, popoverColor_.red(), popoverColor_.green(), popoverColor_.blue(),
                        popoverColor_.alpha());
  cairo_fill(cr);
}

}  // namespace vexa

// A drawn progress bar: a rounded track (optionally with an inner shadow),
// an optional outer border, a fill that is flat or a vertical gradient,
// moving stripes or gradient bands, and a centred percentage text.
//
// Properties that may be unset read as their defaults (listed with each
// accessor); setting one to none makes it unset again. Progress is kept in
// 0...1: values outside are clamped, NaN counts as 0.
//
// Timers: with `animate` on, progress changes move towards their target by
// 0.01 every 0.008 s and the stripes move every 0.02 s. The view owns both
// timers and they hold it weakly, so they stop when the view goes away.
// Drawing happens whenever the tree is rendered; there is no cached bitmap
// besides the gradient band image, which is rebuilt when `color` changes.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "vexa/platform/Image.h"
#include "vexa/platform/Timer.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class QLLDProgressView : public View {
 public:
  static constexpr double kProgressAnimationInterval = 0.008;
  static constexpr double kProgressAnimationStep = 0.01;
  static constexpr double kStripeInterval = 0.02;
  static constexpr int32_t kTypeStripes = 0;
  static constexpr int32_t kTypeGradientBands = 1;

  explicit QLLDProgressView(Rect frame = {});
  ~QLLDProgressView() override;
  static std::shared_ptr<QLLDProgressView> create(Rect frame = {}) {
    return std::make_shared<QLLDProgressView>(frame);
  }

  // The fraction shown.
  double progress() const { return progress_; }
  // Sets the target; without animation it is shown at once, with it the
  // animation timer moves the shown fraction there.
  void setProgress(double progress);
  double progressToAnimateTo() const { return progressToAnimateTo_; }

  // Fill colour; RGB (0.07, 0.56, 1.0) when unset.
  Color color() const;
  void setColor(std::optional<Color> color);
  // Track colour; RGB (0.51, 0.51, 0.51) when unset.
  Color background() const;
  void setBackground(std::optional<Color> color) { background_ = color; }
  // Solid fill (else a vertical gradient); false when unset.
  bool flat() const { return flat_.value_or(false); }
  void setFlat(std::optional<bool> v) { flat_ = v; }
  // Animated progress changes and moving stripes; true when unset. Setting
  // true (re)starts the stripe timer, anything else stops it.
  bool animate() const { return animate_.value_or(true); }
  void setAnimate(std::optional<bool> v);
  // Stroke the fill in a darker colour; true when unset.
  bool showStroke() const { return showStroke_.value_or(true); }
  void setShowStroke(std::optional<bool> v) { showStroke_ = v; }
  // Draw the percentage; true when unset.
  bool showText() const { return showText_.value_or(true); }
  void setShowText(std::optional<bool> v) { showText_ = v; }
  // Draw the track; true when unset.
  bool showBackground() const { return showBackground_.value_or(true); }
  void setShowBackground(std::optional<bool> v) { showBackground_ = v; }
  // Inner shadow on the track; true when unset.
  bool showBackgroundInnerShadow() const { return showBackgroundInnerShadow_.value_or(true); }
  void setShowBackgroundInnerShadow(std::optional<bool> v) { showBackgroundInnerShadow_ = v; }
  // Width of the outer border; no border when unset.
  const std::optional<double>& outerStrokeWidth() const { return outerStrokeWidth_; }
  void setOuterStrokeWidth(std::optional<double> v) { outerStrokeWidth_ = v; }
  // Inset of the fill from the bounds; none when unset.
  const std::optional<double>& progressInset() const { return progressInset_; }
  void setProgressInset(std::optional<double> v) { progressInset_ = v; }
  // Corner radius of every rounded shape; half the height when unset.
  double borderRadius() const;
  void setBorderRadius(std::optional<double> v) { borderRadius_ = v; }
  // 0 stripes, 1 gradient bands, other values nothing over the fill.
  int32_t type() const { return type_; }
  void setType(int32_t type) { type_ = type; }
  // 0 moves the stripes right, anything else left.
  int32_t animateDirection() const { return animateDirection_; }
  void setAnimateDirection(int32_t direction) { animateDirection_ = direction; }
  // 15 for gradient bands, else 50.
  double stripeWidth() const { return type_ == kTypeGradientBands ? 15 : 50; }
  double offset() const { return offset_; }
  void setOffset(double offset) { offset_ = offset; }
  // Size of one gradient band (set when bands are drawn).
  Size stripeSize() const { return stripeSize_; }
  void setStripeSize(Size size) { stripeSize_ = size; }
  // The gradient band image for the current colour and stripe size, built on
  // first read and kept until the colour changes.
  std::shared_ptr<const Image> gradientProgress() const;

  const std::optional<std::string>& progressTextOverride() const { return textOverride_; }
  void overrideProgressText(std::optional<std::string> text) { textOverride_ = std::move(text); }
  const std::optional<Color>& progressTextColorOverride() const { return textColorOverride_; }
  void overrideProgressTextColor(std::optional<Color> color) { textColorOverride_ = color; }
  // Stored only: the text is always centred.
  int textAlignment() const { return textAlignment_; }
  void setTextAlignment(int alignment) { textAlignment_ = alignment; }
  // Stored only.
  double labelProgress() const { return labelProgress_; }
  void setLabelProgress(double v) { labelProgress_ = v; }

  // The text drawn: the override, else the rounded percentage ("46%").
  std::string progressText() const;
  // The override, else black over a light fill and white over a dark one,
  // at alpha 0.6.
  Color progressTextColor() const;

  // Running timers, or nullptr.
  Timer* timer() const { return stripeTimer_.get(); }
  Timer* animationTimer() const { return animationTimer_.get(); }

  void draw(cairo_t* cr, const Rect& rect) const override;

 protected:
  // An element labelled with the text it shows ("46%"), none at 0 %.
  bool defaultIsAccessibilityElement() const override { return true; }
  std::string defaultAccessibilityLabel() const override;

 private:
  void animationTick();
  void stripeTick();
  void drawTrack(cairo_t* cr, const Rect& r) const;
  void drawFill(cairo_t* cr, const Rect& r) const;
  void drawStripes(cairo_t* cr, const Rect& fill) const;
  void drawGradientBands(cairo_t* cr, const Rect& fill) const;
  void drawText(cairo_t* cr, const Rect& r) const;

  double progress_ = 0;
  double progressToAnimateTo_ = 0;
  std::optional<Color> color_;
  std::optional<Color> background_;
  std::optional<bool> flat_, animate_, showStroke_, showText_, showBackground_,
      showBackgroundInnerShadow_;
  std::optional<double> outerStrokeWidth_, progressInset_, borderRadius_;
  int32_t type_ = kTypeStripes;
  int32_t animateDirection_ = 0;
  double offset_ = 0;
  mutable Size stripeSize_;
  mutable std::shared_ptr<const Image> gradientProgress_;
  std::optional<std::string> textOverride_;
  std::optional<Color> textColorOverride_;
  int textAlignment_ = 2;
  double labelProgress_ = 0;
  std::unique_ptr<Timer> stripeTimer_;
  std::unique_ptr<Timer> animationTimer_;
};

}  // namespace vexa

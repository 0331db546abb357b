#include "vexa/shop/QLLDProgressView.h"

#include <cmath>
#include <cstdio>

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/ImagePainter.h"
#include "vexa/platform/ui/Renderer.h"
#include "vexa/platform/ui/TextEngine.h"
#include "vexa/theme/QLEmotionColor.h"

namespace vexa {
namespace {

// Float steps of 0.01 must still land within the snapping distance.
constexpr double kSnapSlack = 1e-9;
constexpr int kInnerShadowSteps = 5;
// Below this nothing of the fill (and no text) is drawn.
constexpr double kDrawnProgressThreshold = 0.001;

void setSource(cairo_t* cr, const Color& c, double alphaFactor = 1) {
  cairo_set_source_rgba(cr, c.red(), c.green(), c.blue(), c.alpha() * alphaFactor);
}

double clampedProgress(double p) {
  if (std::isnan(p)) return 0;
  return std::clamp(p, 0.0, 1.0);
}

}  // namespace

QLLDProgressView::QLLDProgressView(Rect frame) : View(frame) {
  setBackgroundColor(Color::clear());
}

QLLDProgressView::~QLLDProgressView() = default;

Color QLLDProgressView::color() const { return color_.value_or(Color::rgb(0.07, 0.56, 1.0)); }

void QLLDProgressView::setColor(std::optional<Color> color) {
  color_ = color;
  gradientProgress_.reset();
}

Color QLLDProgressView::background() const {
  return background_.value_or(Color::rgb(0.51, 0.51, 0.51));
}

double QLLDProgressView::borderRadius() const {
  return borderRadius_.value_or(bounds().height() / 2);
}

void QLLDProgressView::setProgress(double progress) {
  VX_ASSERT_MAIN_THREAD();
  progress = clampedProgress(progress);
  progressToAnimateTo_ = progress;
  if (!animate()) {
    animationTimer_.reset();
    progress_ = progress;
    return;
  }
  std::weak_ptr<View> weak = weak_from_this();
  animationTimer_ = Timer::scheduled(seconds(kProgressAnimationInterval), true, [weak](Timer&) {
    if (auto self = std::static_pointer_cast<QLLDProgressView>(weak.lock())) self->animationTick();
  });
}

void QLLDProgressView::animationTick() {
  const double target = progressToAnimateTo_;
  if (progress_ >= target - kProgressAnimationStep - kSnapSlack &&
      progress_ <= target + kProgressAnimationStep + kSnapSlack) {
    progress_ = target;
    animationTimer_.reset();  // destroys the running timer: nothing of it is used below
    return;
  }
  progress_ += progress_ < target ? kProgressAnimationStep : -kProgressAnimationStep;
}

void QLLDProgressView::setAnimate(std::optional<bool> v) {
  animate_ = v;
  stripeTimer_.reset();
  if (!v.value_or(false)) return;
  std::weak_ptr<View> weak = weak_from_this();
  stripeTimer_ = Timer::scheduled(seconds(kStripeInterval), true, [weak](Timer&) {
    if (auto self = std::static_pointer_cast<QLLDProgressView>(weak.lock())) self->stripeTick();
  });
}

void QLLDProgressView::stripeTick() {
  const double w = stripeWidth();
  if (animateDirection_ == 0) {
    offset_ = offset_ >= 0 ? -w : offset_ + 1;
  } else {
    offset_ = offset_ <= -w ? 0 : offset_ - 1;
  }
}

std::string QLLDProgressView::progressText() const {
  if (textOverride_) return *textOverride_;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%.0f%%", progress_ * 100);
  return buffer;
}

std::string QLLDProgressView::defaultAccessibilityLabel() const {
  return showText() && progress_ > kDrawnProgressThreshold ? progressText() : std::string();
}

Color QLLDProgressView::progressTextColor() const {
  if (textColorOverride_) return *textColorOverride_;
  Color base = QLEmotionColor::ql_isLighterColor(color()) ? Color::black() : Color::whiteColor();
  return base.withAlpha(0.6);
}

std::shared_ptr<const Image> QLLDProgressView::gradientProgress() const {
  const double scale = std::max(1.0, Screen::main().scale);
  const int width = std::max(1, static_cast<int>(std::ceil(stripeSize_.width * scale)));
  const int height = std::max(1, static_cast<int>(std::ceil(stripeSize_.height * scale)));
  if (gradientProgress_ && gradientProgress_->pixelWidth() == width &&
      gradientProgress_->pixelHeight() == height) {
    return gradientProgress_;
  }
  auto bitmap = std::make_shared<Bitmap>(width, height);
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(bitmap->pixels()), CAIRO_FORMAT_ARGB32, width, height,
      bitmap->stride());
  cairo_t* cr = cairo_create(surface);
  const Color band = QLEmotionColor::ql_darkerColor(QLEmotionColor::ql_darkerColor(color()));
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, height / 2.0, width, height / 2.0);
  cairo_pattern_add_color_stop_rgba(gradient, 0, 0, 0, 0, 0);
  cairo_pattern_add_color_stop_rgba(gradient, 0.5, band.red(), band.green(), band.blue(), 0.3);
  cairo_pattern_add_color_stop_rgba(gradient, 1, 0, 0, 0, 0);
  cairo_set_source(cr, gradient);
  cairo_paint(cr);
  cairo_pattern_destroy(gradient);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  gradientProgress_ = Image::still(bitmap, scale);
  return gradientProgress_;
}

void QLLDProgressView::draw(cairo_t* cr, const Rect& rect) const {
  (void)rect;
  const Rect r = bounds();
  if (showBackground()) drawTrack(cr, r);
  if (outerStrokeWidth_) {
    const double s = *outerStrokeWidth_;
    Renderer::addRoundedRect(cr, r.insetBy(s / 2, s / 2), borderRadius());
    setSource(cr, color());
    cairo_set_line_width(cr, s);
    cairo_stroke(cr);
  }
  if (progress_ <= kDrawnProgressThreshold) return;
  Rect fill = r;
  if (progressInset_) fill = fill.insetBy(*progressInset_, *progressInset_);
  drawFill(cr, fill);
}

void QLLDProgressView::drawTrack(cairo_t* cr, const Rect& r) const {
  Renderer::addRoundedRect(cr, r, borderRadius());
  setSource(cr, background());
  cairo_fill(cr);
  if (!showBackgroundInnerShadow()) return;
  Renderer::addRoundedRect(cr, r, borderRadius());
  cairo_clip(cr);
  // A soft inner shadow: the area outside the track, shifted down and to the
  // right, drawn a few times with a growing reach and a small alpha each.
  cairo_save(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  for (int i = kInnerShadowSteps; i >= 1; --i) {
    Rect hole = Rect(r.x() + 0.6, r.y() + 1.1, r.width(), r.height()).insetBy(i - 1, i - 1);
    cairo_rectangle(cr, r.x() - 10, r.y() - 10, r.width() + 20, r.height() + 20);
    if (hole.width() > 0 && hole.height() > 0) Renderer::addRoundedRect(cr, hole, borderRadius());
    setSource(cr, Color::black(), 0.7 / (kInnerShadowSteps + 1));
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void QLLDProgressView::drawFill(cairo_t* cr, const Rect& f) const {
  const double p = progress_;
  Rect fill(f.x(), f.y(), f.width() * p, f.height());
  if (showText()) fill = fill.insetBy(p > 0.03 ? 0.5 : -0.5, 0.5);
  const Color c = color();
  cairo_save(cr);
  if (flat()) {
    Renderer::addRoundedRect(cr, fill, borderRadius());
    setSource(cr, c);
    cairo_fill(cr);
  } else {
    cairo_save(cr);
    Renderer::addRoundedRect(cr, fill, borderRadius());
    cairo_clip(cr);
    const Color top = QLEmotionColor::ql_lighterColor(c);
    const Color bottom = QLEmotionColor::ql_darkerColor(c);
    cairo_pattern_t* gradient =
        cairo_pattern_create_linear(fill.midX(), 0, fill.midX(), fill.height());
    cairo_pattern_add_color_stop_rgba(gradient, 0, top.red(), top.green(), top.blue(), top.alpha());
    cairo_pattern_add_color_stop_rgba(gradient, 1, bottom.red(), bottom.green(), bottom.blue(),
                                      bottom.alpha());
    cairo_set_source(cr, gradient);
    cairo_paint(cr);
    cairo_pattern_destroy(gradient);
    cairo_restore(cr);
  }
  if (p != 1) {
    if (type_ == kTypeStripes) drawStripes(cr, fill);
    if (type_ == kTypeGradientBands) drawGradientBands(cr, fill);
  }
  Renderer::addRoundedRect(cr, fill, borderRadius());
  setSource(cr, showStroke() ? QLEmotionColor::ql_darkerColor(QLEmotionColor::ql_darkerColor(c)) : c);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_restore(cr);
  if (showText()) drawText(cr, bounds());
}

void QLLDProgressView::drawStripes(cairo_t* cr, const Rect& fill) const {
  const double w = stripeWidth();
  const double bottom = fill.maxY();
  cairo_save(cr);
  Renderer::addRoundedRect(cr, fill, borderRadius());
  cairo_clip(cr);
  setSource(cr, Color::whiteColor(), 0.2);
  for (double x = offset_; x < fill.width(); x += w) {
    cairo_move_to(cr, x, bottom);
    cairo_line_to(cr, x + w / 4, 0);
    cairo_line_to(cr, x + 3 * w / 4, 0);
    cairo_line_to(cr, x + w / 2, bottom);
    cairo_close_path(cr);
  }
  cairo_fill(cr);
  cairo_restore(cr);
}

void QLLDProgressView::drawGradientBands(cairo_t* cr, const Rect& fill) const {
  stripeSize_ = Size{stripeWidth(), fill.height()};
  auto band = gradientProgress();
  cairo_save(cr);
  Renderer::addRoundedRect(cr, fill, borderRadius());
  cairo_clip(cr);
  for (double x = offset_; x < fill.width(); x += stripeWidth()) {
    ImagePainter::draw(cr, *band, Rect(x, 0, stripeSize_.width, stripeSize_.height));
  }
  cairo_restore(cr);
}

void QLLDProgressView::drawText(cairo_t* cr, const Rect& r) const {
  const std::string text = progressText();
  const Font font = Font::systemFont(12);
  Size size = TextEngine::shared().measure(text, font, 0, 1);
  Rect place((r.width() - size.width) / 2, (r.height() - size.height) / 2, size.width, size.height);
  TextEngine::shared().draw(cr, text, font, progressTextColor(), place, TextAlignment::Left, 1);
}

}  // namespace vexa

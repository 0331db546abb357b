// The header of a shop category: its name over a white background between
// two hairlines inset by `lineInset` at the sides. Sizes follow the main
// screen's class. Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/Geometry.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class Label;

class QLCategoryTitleView : public View {
 public:
  explicit QLCategoryTitleView(Rect frame = {});
  static std::shared_ptr<QLCategoryTitleView> create(Rect frame = {}) {
    return std::make_shared<QLCategoryTitleView>(frame);
  }

  const std::shared_ptr<Label>& titleLabel() const { return titleLabel_; }
  const std::shared_ptr<View>& topLineView() const { return topLineView_; }
  const std::shared_ptr<View>& bottomLineView() const { return bottomLineView_; }

  const Color& lineColor() const { return lineColor_; }
  // Colours both hairlines.
  void setLineColor(const Color& color);
  const EdgeInsets& lineInset() const { return lineInset_; }
  void setLineInset(const EdgeInsets& insets);

  void layoutSubviews() override;

 private:
  std::shared_ptr<Label> titleLabel_;
  std::shared_ptr<View> topLineView_;
  std::shared_ptr<View> bottomLineView_;
  Color lineColor_;
  EdgeInsets lineInset_;
};

}  // namespace vexa

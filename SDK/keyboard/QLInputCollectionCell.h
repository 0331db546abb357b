// A cell of the keyboard's emoji grid: one emoji picture (aspect-fit) with
// an optional caption under it, or the backspace key. Without a caption the
// picture fills the cell; with one, the caption takes its text's height at
// the bottom, a gap by screen class above it (9, 8 or 5 points).
// Recycling clears picture and caption. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "vexa/platform/ui/CollectionViewCell.h"

namespace vexa {

class ImageView;
class Label;

class QLInputCollectionCell : public CollectionViewCell {
 public:
  explicit QLInputCollectionCell(Rect frame = {});
  static std::shared_ptr<QLInputCollectionCell> create(Rect frame = {}) {
    return std::make_shared<QLInputCollectionCell>(frame);
  }

  const std::shared_ptr<ImageView>& imgView() const { return imgView_; }
  const std::shared_ptr<Label>& textLabel() const { return textLabel_; }

  // Gap between picture and caption for the main screen.
  static double captionGap();

  void prepareForReuse() override;
  void layoutSubviews() override;

 private:
  std::shared_ptr<ImageView> imgView_;
  std::shared_ptr<Label> textLabel_;
};

}  // namespace vexa

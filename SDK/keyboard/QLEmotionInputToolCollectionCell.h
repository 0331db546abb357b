// A tab of the keyboard's tool bar: the package icon (first frame of an
// animation), square and centred (25, 30 or 35 points by screen class), a
// one-pixel line on its right edge, and a light grey layer while selected.
// Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/ui/CollectionViewCell.h"

namespace vexa {

class ImageView;
class QLBorderView;

class QLEmotionInputToolCollectionCell : public CollectionViewCell {
 public:
  explicit QLEmotionInputToolCollectionCell(Rect frame = {});
  static std::shared_ptr<QLEmotionInputToolCollectionCell> create(Rect frame = {}) {
    return std::make_shared<QLEmotionInputToolCollectionCell>(frame);
  }

  const std::shared_ptr<ImageView>& imgView() const { return imgView_; }
  const std::shared_ptr<QLBorderView>& borderView() const { return borderView_; }
  const std::shared_ptr<View>& selectedView() const { return selectedView_; }

  // Side of the icon for the main screen.
  static double iconSide();

  void setSelected(bool selected) override;
  void prepareForReuse() override;
  void layoutSubviews() override;

 private:
  std::shared_ptr<View> selectedView_;
  std::shared_ptr<QLBorderView> borderView_;
  std::shared_ptr<ImageView> imgView_;
};

}  // namespace vexa

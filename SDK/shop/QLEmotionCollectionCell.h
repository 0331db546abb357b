// The small square cell that shows one emoji picture in the SDK's grids
// (input tips, the package detail's preview, favourites). It can dim the
// picture with a grey layer, show a selection mark in its bottom-right
// corner, and report a long press (when enabled) to its delegate once the
// press ends.
//
// Cell status: 0 plain; 1 grey layer; 2 grey layer and mark; other values
// are only stored.
//
// Main thread only. The delegate is held weakly.
#pragma once

#include <functional>
#include <memory>

#include "vexa/platform/ui/CollectionViewCell.h"

namespace vexa {

class GestureRecognizer;
class ImageView;
class LongPressGestureRecognizer;
class QLEmotionCollectionCell;

struct QLEmotionCollectionCellDelegate {
  virtual ~QLEmotionCollectionCellDelegate() = default;
  std::function<void(QLEmotionCollectionCell& cell)> longPressedEmotionCell;
};

class QLEmotionCollectionCell : public CollectionViewCell {
 public:
  static constexpr int kStatusPlain = 0;
  static constexpr int kStatusGray = 1;
  static constexpr int kStatusSelected = 2;
  static constexpr double kMarkSide = 20;
  static constexpr double kMinimumPressDuration = 0.1;

  explicit QLEmotionCollectionCell(Rect frame = {});
  static std::shared_ptr<QLEmotionCollectionCell> create(Rect frame = {}) {
    return std::make_shared<QLEmotionCollectionCell>(frame);
  }

  const std::shared_ptr<ImageView>& imgView() const { return imgView_; }
  const std::shared_ptr<View>& grayView() const { return grayView_; }
  const std::shared_ptr<ImageView>& seletedImgView() const { return seletedImgView_; }

  int cellStatus() const { return cellStatus_; }
  void setCellStatus(int status);

  void setDelegate(std::weak_ptr<QLEmotionCollectionCellDelegate> delegate) {
    delegate_ = std::move(delegate);
  }
  std::shared_ptr<QLEmotionCollectionCellDelegate> delegate() const { return delegate_.lock(); }

  // Adds the long-press recogniser (made once) to the content view, or
  // takes it off.
  void enableLongPressedFeature(bool enabled);
  // nullptr until the feature was first enabled.
  const std::shared_ptr<LongPressGestureRecognizer>& longRecognizer() const { return longRecognizer_; }
  void longPressedAction(GestureRecognizer& recognizer);

  void layoutSubviews() override;

 private:
  std::shared_ptr<ImageView> imgView_;
  std::shared_ptr<View> grayView_;
  std::shared_ptr<ImageView> seletedImgView_;
  std::shared_ptr<LongPressGestureRecognizer> longRecognizer_;
  std::weak_ptr<QLEmotionCollectionCellDelegate> delegate_;
  int cellStatus_ = kStatusPlain;
};

}  // namespace vexa

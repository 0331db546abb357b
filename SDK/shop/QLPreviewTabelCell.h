// The package detail screen's preview row: the hint "长按表情可预览" between
// two hairlines, and below it every emoji of the package in one page of a
// grid, 7 columns for small emojis and 4 for big ones.
//
// A long press on an emoji calls `emotionHandler` with (its index, its
// cell, false) when it begins, and with (0, nullptr, true) when it ends or
// is cancelled; the owner shows and hides the enlarged picture. A press
// that begins over empty space reports its end all the same, so the owner
// must expect an end without a beginning.
//
// The row's height (cellHeightForEmojiCount) holds the grid's full rows
// plus the room the hint and the margins take, so every package's grid
// has the height of its rows. Thumbnails come from the package store, else
// from their URLs. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "vexa/platform/ui/CollectionView.h"
#include "vexa/platform/ui/TableViewCell.h"
#include "vexa/shop/QLInputCollectionPageGridLayout.h"
#include "vexa/store/QLEmoji.h"

namespace vexa {

class GestureRecognizer;
class Label;
class LongPressGestureRecognizer;
class QLEmotionCollectionCell;
class QLImageLoadTarget;
class QLPackageCache;

class QLPreviewTabelCell : public TableViewCell {
 public:
  using Emojis = std::vector<std::shared_ptr<QLEmoji>>;
  // (item index, its cell or nullptr, whether the press finished)
  using EmotionHandler = std::function<void(int index, QLEmotionCollectionCell* cell, bool finished)>;

  static constexpr int kSmallColumns = 7;
  static constexpr int kBigColumns = 4;
  // Grid height per row of small and of big emojis.
  static constexpr double kSmallRowHeight = 50;
  static constexpr double kBigRowHeight = 100;

  QLPreviewTabelCell();
  ~QLPreviewTabelCell() override;
  static std::shared_ptr<QLPreviewTabelCell> create() { return std::make_shared<QLPreviewTabelCell>(); }

  // Rows of the grid for `count` emojis (the count over the columns,
  // rounded up).
  static int gridRowsForEmojiCount(size_t count, bool isEmoji);
  // The height above and below the grid: the hint, its gap and the bottom
  // margin for the main screen's class.
  static double reservedHeight();
  // The row's height: 0 without emojis, else the grid's rows and the reserve.
  static double cellHeightForEmojiCount(size_t count, bool isEmoji);

  const Emojis& emotions() const { return emotions_; }
  // A different list (or kind) reloads the grid.
  void setEmotions(Emojis emotions);
  bool isEmoji() const { return isEmoji_; }
  void setIsEmoji(bool isEmoji);
  const EmotionHandler& emotionHandler() const { return emotionHandler_; }
  void setEmotionHandler(EmotionHandler handler) { emotionHandler_ = std::move(handler); }
  // The store whose images the grid shows; the shared one unless set. Not owned.
  void setPackageCache(QLPackageCache* store) { store_ = store; }

  const std::shared_ptr<View>& leftLine() const { return leftLine_; }
  const std::shared_ptr<View>& rightLine() const { return rightLine_; }
  const std::shared_ptr<Label>& tipLabel() const { return tipLabel_; }
  const std::shared_ptr<QLInputCollectionPageGridLayout>& gridLayout() const { return gridLayout_; }
  const std::shared_ptr<CollectionView>& collectionView() const { return collectionView_; }
  const std::shared_ptr<LongPressGestureRecognizer>& longGestureRecognizer() const {
    return longGestureRecognizer_;
  }

  // Grid delegate operations.
  int rowsOfSection(int section) const;
  int columsOfSection(int section) const;
  // Collection data source operations.
  int numberOfItemsInSection(CollectionView& view, int section) const;
  std::shared_ptr<CollectionViewCell> cellForItemAtIndexPath(CollectionView& view, const IndexPath& path);

  void handleLongPressGesture(GestureRecognizer& recognizer);

  void layoutSubviews() override;

 private:
  QLPackageCache& store() const;
  void showThumbnail(QLEmotionCollectionCell& cell, const QLEmoji& emoji);

  Emojis emotions_;
  bool isEmoji_ = false;
  EmotionHandler emotionHandler_;
  QLPackageCache* store_ = nullptr;
  std::shared_ptr<View> leftLine_;
  std::shared_ptr<View> rightLine_;
  std::shared_ptr<Label> tipLabel_;
  std::shared_ptr<QLInputCollectionPageGridLayout> gridLayout_;
  std::shared_ptr<QLInputCollectionPageGridLayoutDelegate> gridDelegate_;
  std::shared_ptr<CollectionViewDataSource> dataSource_;
  std::shared_ptr<CollectionView> collectionView_;
  std::shared_ptr<LongPressGestureRecognizer> longGestureRecognizer_;
  // One URL load per grid cell: a recycled cell's load replaces the one it
  // ran for its earlier emoji.
  std::unordered_map<const View*, std::unique_ptr<QLImageLoadTarget>> thumbnailLoads_;
};

}  // namespace vexa

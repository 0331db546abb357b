// A collection view: a scroll view that shows the items of a data source in
// sections, placed by a layout object.
//
// Only the visible cells are built: after every layout pass the view holds
// exactly the cells (and supplementary views) whose frames meet its bounds,
// recycling the others by reuse identifier. Item counts are read from the
// data source once per reload. A tap on a cell selects it and tells the
// delegate. The delegate struct extends the scroll view delegate; layouts
// find their own optional delegate operations by casting the collection
// view's delegate (a host's delegate derives from both structs).
// Main thread only.
//
// Item changes are batch updates (see BatchUpdate): performBatchUpdates()
// runs a block that changes the data source and names the deleted and
// inserted items; a reload asked for meanwhile waits for its end. When the
// counts read afterwards follow from the batch, the cells move to their new
// places under one animation (0.3 s) that they record, deleted cells fade
// out and leave when it completes on the main queue; otherwise the view
// reloads. A deletion outside a batch is a batch of its own.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "vexa/platform/ui/BatchUpdate.h"
#include "vexa/platform/ui/CollectionReusableView.h"
#include "vexa/platform/ui/CollectionViewCell.h"
#include "vexa/platform/ui/CollectionViewLayout.h"
#include "vexa/platform/ui/ScrollView.h"

namespace vexa {

class CollectionView;

struct CollectionViewDataSource {
  virtual ~CollectionViewDataSource() = default;
  // Optional; 1 when absent.
  std::function<int(CollectionView&)> numberOfSectionsInCollectionView;
  std::function<int(CollectionView&, int section)> numberOfItemsInSection;
  std::function<std::shared_ptr<CollectionViewCell>(CollectionView&, const IndexPath&)>
      cellForItemAtIndexPath;
  std::function<std::shared_ptr<CollectionReusableView>(CollectionView&, const std::string& kind,
                                                        const IndexPath&)>
      viewForSupplementaryElementOfKind;
};

struct CollectionViewDelegate : ScrollViewDelegate {
  std::function<bool(CollectionView&, const IndexPath&)> shouldSelectItemAtIndexPath;
  std::function<void(CollectionView&, const IndexPath&)> didSelectItemAtIndexPath;
  std::function<void(CollectionView&, const IndexPath&)> didDeselectItemAtIndexPath;
  std::function<void(CollectionView&, CollectionViewCell&, const IndexPath&)> willDisplayCell;
  std::function<void(CollectionView&, CollectionViewCell&, const IndexPath&)> didEndDisplayingCell;
};

enum class CollectionViewScrollPosition {
  None,
  Top,
  CenteredVertically,
  Bottom,
  Left,
  CenteredHorizontally,
  Right,
};

class CollectionView : public ScrollView {
 public:
  using CellFactory = std::function<std::shared_ptr<CollectionReusableView>()>;

  CollectionView(Rect frame, std::shared_ptr<CollectionViewLayout> layout);
  ~CollectionView() override;
  static std::shared_ptr<CollectionView> create(Rect frame,
                                                std::shared_ptr<CollectionViewLayout> layout) {
    return std::make_shared<CollectionView>(frame, std::move(layout));
  }

  const std::shared_ptr<CollectionViewLayout>& collectionViewLayout() const { return layout_; }
  void setCollectionViewLayout(std::shared_ptr<CollectionViewLayout> layout);

  void setDataSource(std::weak_ptr<CollectionViewDataSource> dataSource);
  std::shared_ptr<CollectionViewDataSource> dataSource() const { return dataSource_.lock(); }
  void setDelegate(std::weak_ptr<CollectionViewDelegate> delegate);
  std::shared_ptr<CollectionViewDelegate> delegate() const { return delegate_.lock(); }

  // Registration by reuse identifier (the SDK uses the cell's class name).
  void registerCell(const std::string& identifier, CellFactory factory);
  template <typename T>
  void registerClass(const std::string& identifier) {
    registerCell(identifier, [] { return std::make_shared<T>(); });
  }
  void registerSupplementaryView(const std::string& kind, const std::string& identifier,
                                 CellFactory factory);
  // A recycled cell or a new one from the registered factory; nullptr when
  // the identifier is not registered.
  std::shared_ptr<CollectionViewCell> dequeueReusableCell(const std::string& identifier,
                                                          const IndexPath& indexPath);
  std::shared_ptr<CollectionReusableView> dequeueReusableSupplementaryView(
      const std::string& kind, const std::string& identifier, const IndexPath& indexPath);

  // Reads the counts again and rebuilds the visible cells on the next pass
  // (inside a batch: once the batch ends).
  void reloadData();
  // `completion` runs on the main queue when the batch's animation ends.
  void performBatchUpdates(const std::function<void()>& updates,
                           std::function<void(bool finished)> completion = nullptr);
  void deleteItemsAtIndexPaths(const std::vector<IndexPath>& paths);
  void insertItemsAtIndexPaths(const std::vector<IndexPath>& paths);
  // What the last batch did.
  const std::optional<BatchUpdateRecord>& lastUpdate() const { return lastUpdate_; }
  int numberOfSections();
  int numberOfItemsInSection(int section);

  // Only visible items have cells.
  std::shared_ptr<CollectionViewCell> cellForItemAtIndexPath(const IndexPath& indexPath) const;
  std::vector<std::shared_ptr<CollectionViewCell>> visibleCells() const;
  std::vector<IndexPath> indexPathsForVisibleItems() const;
  std::optional<IndexPath> indexPathForCell(const CollectionViewCell* cell) const;
  // The item whose frame contains the point (content coordinates).
  std::optional<IndexPath> indexPathForItemAtPoint(Point point);
  std::optional<CollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(
      const IndexPath& indexPath);

  void scrollToItemAtIndexPath(const IndexPath& indexPath, CollectionViewScrollPosition position,
                               bool animated);

  bool allowsSelection() const { return allowsSelection_; }
  void setAllowsSelection(bool on) { allowsSelection_ = on; }
  bool allowsMultipleSelection() const { return allowsMultipleSelection_; }
  void setAllowsMultipleSelection(bool on) { allowsMultipleSelection_ = on; }
  std::vector<IndexPath> indexPathsForSelectedItems() const;
  // Programmatic selection tells no delegate.
  void selectItemAtIndexPath(const std::optional<IndexPath>& indexPath, bool animated,
                             CollectionViewScrollPosition position);
  void deselectItemAtIndexPath(const IndexPath& indexPath, bool animated);

  // Prepares the layout now if it is stale (content size included).
  void prepareLayoutIfNeeded();
  // From the layout's invalidateLayout().
  void layoutWasInvalidated();

  void layoutSubviews() override;

 protected:
  void willChangeBounds(const Rect& newBounds) override;
  void didChangeBounds(const Rect& oldBounds) override;
  void didTapAt(Point point) override;

 private:
  using SupplementaryKey = std::pair<std::string, IndexPath>;
  void updateVisibleViews();
  void enqueue(const std::shared_ptr<CollectionReusableView>& view);
  std::shared_ptr<CollectionReusableView> dequeue(const std::string& key);
  void loadCounts();
  void applyUpdate(const BatchUpdate& update, bool reloadItems,
                   std::function<void(bool)> completion);

  std::shared_ptr<CollectionViewLayout> layout_;
  std::weak_ptr<CollectionViewDataSource> dataSource_;
  std::weak_ptr<CollectionViewDelegate> delegate_;
  std::unordered_map<std::string, CellFactory> factories_;
  std::unordered_map<std::string, std::vector<std::shared_ptr<CollectionReusableView>>> pool_;
  std::map<IndexPath, std::shared_ptr<CollectionViewCell>> visibleCells_;
  std::map<SupplementaryKey, std::shared_ptr<CollectionReusableView>> visibleSupplementary_;
  std::optional<std::vector<int>> counts_;
  std::set<IndexPath> selected_;
  int batchDepth_ = 0;
  BatchUpdate batch_;
  bool reloadHeld_ = false;
  std::vector<int> countsBefore_;
  std::optional<BatchUpdateRecord> lastUpdate_;
  bool layoutValid_ = false;
  bool allowsSelection_ = true;
  bool allowsMultipleSelection_ = false;
};

}  // namespace vexa

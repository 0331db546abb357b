// The emotion keyboard's emoji area: one horizontally paged strip showing
// every group page after page (QLInputCollectionPageGridLayout), a page
// control for the pages of the current group, and hairlines along the top
// and the bottom.
//
// A group is a package, or first, while it is shown, the recommended group
// (one package card per page, QLRecommendCollectionCell, with its download
// control). Pages of a group that adds backspace end with a backspace key,
// and so does its last partial page; the recommended group and pages of
// fewer than two cells never get one. A tap on an emoji reports a pick, a
// tap on a backspace key a backspace; a long press on an emoji shows its
// main image, 80 points square, in a popover above the cell until the
// finger lifts. When a swipe settles in another group, the delegate hears
// of it once.
//
// Index paths handed out are (section, emoji index): section = group - 1
// while the recommended group is shown, else the group; the emoji index
// does not count backspace keys.
//
// Only the cells on screen exist (the collection view recycles the rest),
// and a cell that leaves the screen lets go of its picture at once.
//
// Main thread only. Data source and delegate are held weakly; every member
// is optional (a missing answer counts as 0, none or no).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "vexa/keyboard/QLGroupIndexPath.h"
#include "vexa/platform/CallbackList.h"
#include "vexa/platform/Image.h"
#include "vexa/platform/ui/IndexPath.h"
#include "vexa/platform/ui/View.h"
#include "vexa/shop/QLEmojiPreviewPopover.h"
#include "vexa/store/QLCategory.h"
#include "vexa/store/QLPackage.h"

namespace vexa {

class CollectionView;
class LongPressGestureRecognizer;
class PageControl;
class QLDownloadManager;
class QLInputCollectionPageGridLayout;
class QLInputItemGroupView;
class QLPopoverView;
struct CollectionViewDataSource;
struct CollectionViewDelegate;
struct QLInputCollectionPageGridLayoutDelegate;

struct QLInputItemGroupViewDataSource {
  virtual ~QLInputItemGroupViewDataSource() = default;
  using ImagePtr = std::shared_ptr<const Image>;

  std::function<size_t(int group)> numberOfRowAtGroup;
  std::function<size_t(int group)> numberOfColumnAtGroup;
  // The group and page to show after a reload.
  std::function<QLGroupIndexPath()> selectedGroupPath;
  std::function<int()> numberOfGroups;
  // Emojis of a group, backspace keys not counted.
  std::function<size_t(int group)> numberOfItemsAtGroup;
  std::function<bool(int group)> shouldAddBackspaceAtGroup;
  // Asked with (section, emoji index).
  std::function<ImagePtr(const IndexPath&)> thumbOfGroupViewAtIndexPath;
  std::function<ImagePtr(const IndexPath&)> mianImageOfGroupViewAtIndexPath;
  std::function<std::optional<std::string>(const IndexPath&)> titleOfGroupViewAtIndexPath;
  // Group 0 is the recommended group, filled from recommendCategory.
  std::function<bool()> shouldShowRecommendGroup;
  std::function<std::shared_ptr<QLCategory>()> recommendCategory;
  // A download started from the recommended group ended.
  std::function<void()> recommendDownloadFinished;
  // The user is on the recommended group (the view returns there after a
  // recommended download).
  std::function<bool()> recommendGroupSelected;
  // For tools: the emoji's code (cell identifier "emoji:CODE").
  std::function<std::string(const IndexPath&)> codeOfGroupViewAtIndexPath;
};

struct QLInputItemGroupViewDelegate {
  virtual ~QLInputItemGroupViewDelegate() = default;
  // A settled swipe reached another group.
  std::function<void(QLInputItemGroupView& view, int group)> scrollToGroup;
  // With (section, emoji index).
  std::function<void(QLInputItemGroupView& view, const IndexPath&)> didSelectedAtIndexPath;
  std::function<void(QLInputItemGroupView& view, const IndexPath&)> longPressedAtIndexPath;
  std::function<void(QLInputItemGroupView& view)> triggerBackspaceAtGroupView;
};

class QLInputItemGroupView : public View {
 public:
  using PackagePtr = std::shared_ptr<QLPackage>;
  // Side of the long-press preview's picture.
  static constexpr double kPreviewSide = 80;

  QLInputItemGroupView(Rect frame, QLDownloadManager& manager);
  ~QLInputItemGroupView() override;
  static std::shared_ptr<QLInputItemGroupView> create(Rect frame, QLDownloadManager& manager);

  void setDataSource(std::weak_ptr<QLInputItemGroupViewDataSource> dataSource) {
    dataSource_ = std::move(dataSource);
  }
  std::shared_ptr<QLInputItemGroupViewDataSource> dataSource() const { return dataSource_.lock(); }
  void setDelegate(std::weak_ptr<QLInputItemGroupViewDelegate> delegate) {
    delegate_ = std::move(delegate);
  }
  std::shared_ptr<QLInputItemGroupViewDelegate> delegate() const { return delegate_.lock(); }

  const QLGroupIndexPath& currentGroupPath() const { return currentGroupPath_; }
  const std::shared_ptr<CollectionView>& collectionView() const { return collectionView_; }
  const std::shared_ptr<QLInputCollectionPageGridLayout>& layout() const { return layout_; }
  const std::shared_ptr<PageControl>& pageControl() const { return pageControl_; }
  const std::shared_ptr<LongPressGestureRecognizer>& longGestureRecognizer() const {
    return longGestureRecognizer_;
  }
  const std::shared_ptr<View>& topLine() const { return topLine_; }
  const std::shared_ptr<View>& bottomLine() const { return bottomLine_; }
  // The open preview, or nullptr.
  const std::shared_ptr<QLPopoverView>& popover() const { return preview_.popover(); }
  const std::optional<IndexPath>& lastHighlightIndexPath() const { return lastHighlightIndexPath_; }
  // Recommended packages whose download started here, by guid.
  const std::map<std::string, PackagePtr>& recommendPackageCache() const { return recommendPackageCache_; }

  // Reloads and shows the data source's selected group path.
  void reloadData();
  // Shows page 0 of the group; nothing when it is the current group or
  // past the last group.
  void selectGroup(int group);
  // Widens the content by n pages for recommended packages that the grid
  // does not count yet.
  void resizeWithAddRecommendPages(int pages);
  // Follows a recommended package's download in its card.
  void updateProgressWithPack(const PackagePtr& package, const IndexPath& indexPath);

  // --- Arithmetic per group.
  bool isRecommendGroup(int group) const;
  // Rows x columns as the layout has them.
  int itemsPerPageAtSection(int group) const;
  // Whether the group's pages end with a backspace key.
  bool addsBackspaceAtGroup(int group) const;
  // Cells of a group, backspace keys included.
  int actualNumberOfItemsAtGroup(int group) const;
  bool isBackspaceAtIndexPath(const IndexPath& cell) const;
  // The emoji index of a cell.
  int actualIndexAtIndexPath(const IndexPath& cell) const;
  int pagesForGroup(int group) const;
  QLGroupIndexPath groupIndexPathAtContentOffset(Point offset) const;
  // Never past the last page.
  Point contentOffsetWithGroupPath(const QLGroupIndexPath& path) const;
  void refreshPageControlAndNotificationDelegate(bool notify);
  // (section, emoji index) of a cell.
  IndexPath sectionIndexPathForCell(const IndexPath& cell) const;

  // Touch handling, reachable for tests.
  void handleLongPressGesture(LongPressGestureRecognizer& recognizer);
  void highlightAtIndexPath(const std::optional<IndexPath>& cell);

  void layoutSubviews() override;

 private:
  void buildCollectionProtocols();
  std::shared_ptr<class CollectionViewCell> cellForItem(const IndexPath& cell);
  void didSelectItem(const IndexPath& cell);
  void scrollDidSettle();
  void showPreview(const IndexPath& cell, std::shared_ptr<const Image> image);
  void dismissPreview();
  void startRecommendDownload(const PackagePtr& package, const IndexPath& cell);
  void jumpTo(Point offset);
  void scheduleRefresh();

  QLDownloadManager& manager_;
  std::weak_ptr<QLInputItemGroupViewDataSource> dataSource_;
  std::weak_ptr<QLInputItemGroupViewDelegate> delegate_;
  QLGroupIndexPath currentGroupPath_;
  std::shared_ptr<QLInputCollectionPageGridLayout> layout_;
  std::shared_ptr<QLInputCollectionPageGridLayoutDelegate> layoutDelegate_;
  std::shared_ptr<CollectionView> collectionView_;
  std::shared_ptr<CollectionViewDataSource> collectionSource_;
  std::shared_ptr<CollectionViewDelegate> collectionDelegate_;
  std::shared_ptr<PageControl> pageControl_;
  std::shared_ptr<LongPressGestureRecognizer> longGestureRecognizer_;
  std::optional<IndexPath> lastHighlightIndexPath_;
  std::shared_ptr<View> topLine_, bottomLine_;
  QLEmojiPreviewPopover preview_{kPreviewSide};
  std::map<std::string, PackagePtr> recommendPackageCache_;
  std::map<std::string, Subscription> progressObservations_;
  bool refreshScheduled_ = false;
};

}  // namespace vexa

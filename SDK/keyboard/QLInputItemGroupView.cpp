#include "vexa/keyboard/QLInputItemGroupView.h"

#include <algorithm>
#include <cmath>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/keyboard/QLInputCollectionCell.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/UrlEscaping.h"
#include "vexa/platform/ui/CollectionView.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/LongPressGestureRecognizer.h"
#include "vexa/platform/ui/PageControl.h"
#include "vexa/shop/QLInputCollectionPageGridLayout.h"
#include "vexa/shop/QLRecommendCollectionCell.h"
#include "vexa/store/QLPackageHelper.h"
#include "vexa/theme/QLEmotionColor.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

namespace {

const char* const kEmojiCellIdentifier = "QLInputCollectionCell";
const char* const kRecommendCellIdentifier = "QLRecommendCollectionCell";
constexpr double kPageControlHeight = 13;

struct GridMetrics {
  EdgeInsets insets;
  double itemSpacing;
  double lineSpacing;
};

GridMetrics gridMetricsForMainScreen() {
  const Screen screen = Screen::main();
  if (screen.isPhone() && screen.longSide() <= 568) return {EdgeInsets{10, 20, 7, 20}, 19, 9};
  if (screen.isPhone() && screen.longSide() == 667) return {EdgeInsets{11, 19, 9, 19}, 19, 10};
  return {EdgeInsets{5, 25, 5, 25}, 25, 5};
}

}  // namespace

QLInputItemGroupView::QLInputItemGroupView(Rect frame, QLDownloadManager& manager)
    : View(frame), manager_(manager) {
  setBackgroundColor(QLEmotionColor::ql_colorWithHexColorString("#f8f8f8"));
  const Color separator = QLEmotionGlobal::sharedInstance().theme()->separateColor();

  layout_ = QLInputCollectionPageGridLayout::create();
  const GridMetrics metrics = gridMetricsForMainScreen();
  layout_->setPageContentInsets(metrics.insets);
  layout_->setItemSpacing(metrics.itemSpacing);
  layout_->setLineSpacing(metrics.lineSpacing);
  layoutDelegate_ = std::make_shared<QLInputCollectionPageGridLayoutDelegate>();
  // The layout belongs to this view, so `this` outlives every call.
  layoutDelegate_->rowsOfSection = [this](int group) {
    auto source = dataSource();
    return source && source->numberOfRowAtGroup ? static_cast<int>(source->numberOfRowAtGroup(group)) : 0;
  };
  layoutDelegate_->columsOfSection = [this](int group) {
    auto source = dataSource();
    return source && source->numberOfColumnAtGroup ? static_cast<int>(source->numberOfColumnAtGroup(group)) : 0;
  };
  layout_->setGridLayoutDelegate(layoutDelegate_);

  collectionView_ = CollectionView::create(Rect{}, layout_);
  collectionView_->setPagingEnabled(true);
  collectionView_->setShowsHorizontalScrollIndicator(false);
  collectionView_->setShowsVerticalScrollIndicator(false);
  collectionView_->setBackgroundColor(std::nullopt);
  collectionView_->registerClass<QLInputCollectionCell>(kEmojiCellIdentifier);
  collectionView_->registerClass<QLRecommendCollectionCell>(kRecommendCellIdentifier);

  pageControl_ = PageControl::create();
  pageControl_->setUserInteractionEnabled(false);
  pageControl_->setHidesForSinglePage(true);
  pageControl_->setCurrentPageIndicatorTintColor(*QLEmotionColor::ql_colorWithHexColorString("#959595"));
  pageControl_->setPageIndicatorTintColor(*QLEmotionColor::ql_colorWithHexColorString("#e5e5e5"));

  topLine_ = View::create();
  topLine_->setBackgroundColor(separator);
  bottomLine_ = View::create();
  bottomLine_->setBackgroundColor(separator);

  longGestureRecognizer_ = LongPressGestureRecognizer::create([this](GestureRecognizer& recognizer) {
    handleLongPressGesture(static_cast<LongPressGestureRecognizer&>(recognizer));
  });
  for (const auto& existing : collectionView_->gestureRecognizers()) {
    if (std::dynamic_pointer_cast<LongPressGestureRecognizer>(existing))
      existing->requireGestureRecognizerToFail(longGestureRecognizer_);
  }
  collectionView_->addGestureRecognizer(longGestureRecognizer_);

  addSubview(collectionView_);
  addSubview(pageControl_);
  addSubview(topLine_);
  addSubview(bottomLine_);
  buildCollectionProtocols();
}

QLInputItemGroupView::~QLInputItemGroupView() = default;

std::shared_ptr<QLInputItemGroupView> QLInputItemGroupView::create(Rect frame, QLDownloadManager& manager) {
  return std::make_shared<QLInputItemGroupView>(frame, manager);
}

void QLInputItemGroupView::buildCollectionProtocols() {
  // Both structs belong to this view, which owns the collection view.
  collectionSource_ = std::make_shared<CollectionViewDataSource>();
  collectionSource_->numberOfSectionsInCollectionView = [this](CollectionView&) {
    auto source = dataSource();
    return source && source->numberOfGroups ? std::max(0, source->numberOfGroups()) : 0;
  };
  collectionSource_->numberOfItemsInSection = [this](CollectionView&, int group) {
    scheduleRefresh();
    return actualNumberOfItemsAtGroup(group);
  };
  collectionSource_->cellForItemAtIndexPath = [this](CollectionView&, const IndexPath& cell) {
    return cellForItem(cell);
  };
  collectionDelegate_ = std::make_shared<CollectionViewDelegate>();
  collectionDelegate_->didSelectItemAtIndexPath = [this](CollectionView& view, const IndexPath& cell) {
    view.deselectItemAtIndexPath(cell, true);
    didSelectItem(cell);
  };
  // A cell off screen lets go of its picture at once.
  collectionDelegate_->didEndDisplayingCell = [](CollectionView&, CollectionViewCell& cell, const IndexPath&) {
    cell.prepareForReuse();
  };
  collectionDelegate_->scrollViewDidEndDecelerating = [this](ScrollView&) { scrollDidSettle(); };
  // A drag released exactly on a page does not decelerate; it settles too.
  collectionDelegate_->scrollViewDidEndDragging = [this](ScrollView&, bool decelerate) {
    if (!decelerate) scrollDidSettle();
  };
  collectionView_->setDataSource(collectionSource_);
  collectionView_->setDelegate(collectionDelegate_);
}

// --- Arithmetic -------------------------------------------------------------

bool QLInputItemGroupView::isRecommendGroup(int group) const {
  if (group != 0) return false;
  auto source = dataSource();
  return source && source->shouldShowRecommendGroup && source->shouldShowRecommendGroup();
}

int QLInputItemGroupView::itemsPerPageAtSection(int group) const {
  return layout_->numberOfItemsPerPageAtSection(group);
}

bool QLInputItemGroupView::addsBackspaceAtGroup(int group) const {
  // A card of the recommended group is no emoji, and a page needs room for
  // an emoji besides the key.
  if (isRecommendGroup(group) || itemsPerPageAtSection(group) < 2) return false;
  auto source = dataSource();
  return source && source->shouldAddBackspaceAtGroup && source->shouldAddBackspaceAtGroup(group);
}

int QLInputItemGroupView::actualNumberOfItemsAtGroup(int group) const {
  auto source = dataSource();
  if (!source) return 0;
  if (isRecommendGroup(group)) {
    auto category = source->recommendCategory ? source->recommendCategory() : nullptr;
    return category ? static_cast<int>(category->packages().size()) : 0;
  }
  const int n = source->numberOfItemsAtGroup ? static_cast<int>(source->numberOfItemsAtGroup(group)) : 0;
  if (!addsBackspaceAtGroup(group)) return n;
  const int perPage = itemsPerPageAtSection(group);
  const int q = n / (perPage - 1);
  const int r = n - q * (perPage - 1);
  return q * perPage + r + (r >= 1 ? 1 : 0);
}

bool QLInputItemGroupView::isBackspaceAtIndexPath(const IndexPath& cell) const {
  if (!addsBackspaceAtGroup(cell.section)) return false;
  const int perPage = itemsPerPageAtSection(cell.section);
  return (cell.item + 1) % perPage == 0 ||
         cell.item + 1 == collectionView_->numberOfItemsInSection(cell.section);
}

int QLInputItemGroupView::actualIndexAtIndexPath(const IndexPath& cell) const {
  if (!addsBackspaceAtGroup(cell.section)) return cell.item;
  return cell.item - cell.item / itemsPerPageAtSection(cell.section);
}

IndexPath QLInputItemGroupView::sectionIndexPathForCell(const IndexPath& cell) const {
  auto source = dataSource();
  const bool recommend = source && source->shouldShowRecommendGroup && source->shouldShowRecommendGroup();
  const int section = recommend && cell.section >= 1 ? cell.section - 1 : cell.section;
  return IndexPath::forItem(actualIndexAtIndexPath(cell), section);
}

int QLInputItemGroupView::pagesForGroup(int group) const {
  if (group < 0 || group >= collectionView_->numberOfSections()) return 0;
  const int cells = collectionView_->numberOfItemsInSection(group);
  const int perPage = itemsPerPageAtSection(group);
  return cells <= 0 ? 0 : (cells + perPage - 1) / perPage;
}

Point QLInputItemGroupView::contentOffsetWithGroupPath(const QLGroupIndexPath& path) const {
  collectionView_->prepareLayoutIfNeeded();
  const double F = collectionView_->frame().width();
  double x = 0;
  for (int g = 0; g < path.group; ++g) x += pagesForGroup(g) * F;
  x += static_cast<double>(path.page) * F;
  const double last = std::max(0.0, collectionView_->contentSize().width - F);
  return Point{std::clamp(x, 0.0, last), 0};
}

QLGroupIndexPath QLInputItemGroupView::groupIndexPathAtContentOffset(Point offset) const {
  collectionView_->prepareLayoutIfNeeded();
  const double F = collectionView_->frame().width();
  if (F <= 0) return {};
  const double last = std::max(0.0, collectionView_->contentSize().width - F);
  const double x = std::clamp(offset.x, 0.0, last);
  // The 1-based number of the page nearest to x; halfway belongs to the later one.
  const int64_t N = static_cast<int64_t>(std::trunc((x + F / 2) / F + 1));
  int64_t before = 0;
  for (int g = 0, groups = collectionView_->numberOfSections(); g < groups; ++g) {
    const int pages = pagesForGroup(g);
    if (before < N && N <= before + pages) return {g, N - 1 - before};
    before += pages;
  }
  return {};
}

// --- Loading and moving -----------------------------------------------------

void QLInputItemGroupView::reloadData() {
  setNeedsLayout();
  collectionView_->reloadData();
  auto source = dataSource();
  currentGroupPath_ = source && source->selectedGroupPath ? source->selectedGroupPath() : QLGroupIndexPath{};
  jumpTo(contentOffsetWithGroupPath(currentGroupPath_));
}

void QLInputItemGroupView::selectGroup(int group) {
  if (group == currentGroupPath_.group || group < 0 || group >= collectionView_->numberOfSections()) return;
  currentGroupPath_ = {group, 0};
  jumpTo(contentOffsetWithGroupPath(currentGroupPath_));
  refreshPageControlAndNotificationDelegate(false);
}

void QLInputItemGroupView::resizeWithAddRecommendPages(int pages) {
  collectionView_->prepareLayoutIfNeeded();
  // Pages the grid already gives the recommended group are not added again.
  const int counted = isRecommendGroup(0) ? pagesForGroup(0) : 0;
  const int missing = std::max(0, pages - counted);
  Size size = collectionView_->contentSize();
  size.width += missing * collectionView_->frame().width();
  collectionView_->setContentSize(size);
}

void QLInputItemGroupView::jumpTo(Point offset) {
  collectionView_->setContentOffset(offset, false);
}

void QLInputItemGroupView::scheduleRefresh() {
  if (refreshScheduled_) return;
  refreshScheduled_ = true;
  std::weak_ptr<View> weak = weak_from_this();
  // After the collection has all of its new counts.
  MainQueue::shared().async([weak] {
    auto self = std::static_pointer_cast<QLInputItemGroupView>(weak.lock());
    if (!self) return;
    self->refreshScheduled_ = false;
    self->refreshPageControlAndNotificationDelegate(true);
  });
}

void QLInputItemGroupView::refreshPageControlAndNotificationDelegate(bool notify) {
  const QLGroupIndexPath path = groupIndexPathAtContentOffset(collectionView_->contentOffset());
  const int pages = pagesForGroup(static_cast<int>(path.group));
  if (pages <= 1) {
    pageControl_->setHidden(true);
  } else {
    pageControl_->setHidden(false);
    pageControl_->setNumberOfPages(pages);
    pageControl_->setCurrentPage(static_cast<int>(path.page));
  }
  const bool changed = path.group != currentGroupPath_.group;
  currentGroupPath_ = path;
  if (changed && notify) {
    auto d = delegate();
    if (d && d->scrollToGroup) d->scrollToGroup(*this, static_cast<int>(path.group));
  }
}

void QLInputItemGroupView::scrollDidSettle() {
  refreshPageControlAndNotificationDelegate(true);
  const Point target = contentOffsetWithGroupPath(currentGroupPath_);
  if (target == collectionView_->contentOffset()) return;
  ViewAnimation::animate(0.2, 0, AnimationCurve::EaseIn, [this, target] {
    collectionView_->setContentOffset(target, false);
    collectionView_->layoutIfNeeded();
  });
}

void QLInputItemGroupView::layoutSubviews() {
  const double W = bounds().width(), H = bounds().height();
  const double h = Screen::main().hairline();
  topLine_->setFrame(Rect(0, 0, W, h));
  bottomLine_->setFrame(Rect(0, H - h, W, h));
  pageControl_->setFrame(Rect(0, H - kPageControlHeight, W, kPageControlHeight));
  collectionView_->setFrame(Rect(0, h, W, std::max(0.0, H - 2 * h - kPageControlHeight)));
  jumpTo(contentOffsetWithGroupPath(currentGroupPath_));
}

// --- Cells ------------------------------------------------------------------

std::shared_ptr<CollectionViewCell> QLInputItemGroupView::cellForItem(const IndexPath& cell) {
  auto source = dataSource();
  if (isRecommendGroup(cell.section)) {
    auto card = std::static_pointer_cast<QLRecommendCollectionCell>(
        collectionView_->dequeueReusableCell(kRecommendCellIdentifier, cell));
    auto category = source && source->recommendCategory ? source->recommendCategory() : nullptr;
    const auto& packages = category ? category->packages() : QLCategory::Packages{};
    if (cell.item < 0 || cell.item >= static_cast<int>(packages.size())) return card;
    PackagePtr package = packages[static_cast<size_t>(cell.item)];
    card->imgView()->setImage(nullptr);
    card->imgView()->setImageWithURL(UrlEscaping::escapeURL(package->recommend_pic()), nullptr);
    card->textLabel()->setText(package->name());
    card->setAccessibilityIdentifier("package:" + package->guid());
    card->setAccessibilityLabel(package->name());
    card->downloadView()->setAccessibilityIdentifier("download:" + package->guid());
    auto cached = recommendPackageCache_.find(package->guid());
    card->setProgress(cached == recommendPackageCache_.end()
                          ? 0
                          : QLPackageHelper::progressForPackage(*cached->second, manager_.packageCache()));
    std::weak_ptr<View> weak = weak_from_this();
    card->setDownloadHandler([weak, package, cell](int) {
      if (auto self = std::static_pointer_cast<QLInputItemGroupView>(weak.lock()))
        self->startRecommendDownload(package, cell);
    });
    card->setNeedsLayout();
    return card;
  }
  auto emojiCell = std::static_pointer_cast<QLInputCollectionCell>(
      collectionView_->dequeueReusableCell(kEmojiCellIdentifier, cell));
  if (isBackspaceAtIndexPath(cell)) {
    emojiCell->imgView()->setImage(QLEmotionGlobal::sharedInstance().sdkUIimageWithName("backspace"));
    emojiCell->textLabel()->setText("");
    emojiCell->setAccessibilityIdentifier("backspace");
    emojiCell->setAccessibilityLabel("删除");
  } else if (source) {
    const IndexPath emoji = sectionIndexPathForCell(cell);
    if (source->thumbOfGroupViewAtIndexPath) emojiCell->imgView()->setImage(source->thumbOfGroupViewAtIndexPath(emoji));
    auto title = source->titleOfGroupViewAtIndexPath ? source->titleOfGroupViewAtIndexPath(emoji) : std::nullopt;
    emojiCell->textLabel()->setText(title.value_or(""));
    const std::string code = source->codeOfGroupViewAtIndexPath ? source->codeOfGroupViewAtIndexPath(emoji) : "";
    emojiCell->setAccessibilityIdentifier(code.empty() ? "" : "emoji:" + code);
    emojiCell->setAccessibilityLabel(title && !title->empty() ? *title : code);
  }
  emojiCell->setNeedsLayout();
  return emojiCell;
}

void QLInputItemGroupView::didSelectItem(const IndexPath& cell) {
  // A card is offered through its download control; a tap elsewhere on it
  // neither picks nor deletes anything.
  if (isRecommendGroup(cell.section)) return;
  auto d = delegate();
  if (!d) return;
  if (isBackspaceAtIndexPath(cell)) {
    if (d->triggerBackspaceAtGroupView) d->triggerBackspaceAtGroupView(*this);
    return;
  }
  if (d->didSelectedAtIndexPath) d->didSelectedAtIndexPath(*this, sectionIndexPathForCell(cell));
}

// --- Long-press preview -----------------------------------------------------

void QLInputItemGroupView::handleLongPressGesture(LongPressGestureRecognizer& recognizer) {
  switch (recognizer.state()) {
    case GestureRecognizerState::Began: {
      auto cell = collectionView_->indexPathForItemAtPoint(recognizer.locationInView(collectionView_.get()));
      if (!cell || isRecommendGroup(cell->section) || isBackspaceAtIndexPath(*cell)) return;
      const IndexPath emoji = sectionIndexPathForCell(*cell);
      auto source = dataSource();
      auto image = source && source->mianImageOfGroupViewAtIndexPath ? source->mianImageOfGroupViewAtIndexPath(emoji)
                                                                     : nullptr;
      showPreview(*cell, std::move(image));
      auto d = delegate();
      if (d && d->longPressedAtIndexPath) d->longPressedAtIndexPath(*this, emoji);
      return;
    }
    case GestureRecognizerState::Ended:
    case GestureRecognizerState::Cancelled:
      dismissPreview();
      return;
    default:
      return;
  }
}

void QLInputItemGroupView::highlightAtIndexPath(const std::optional<IndexPath>& cell) {
  if (lastHighlightIndexPath_) {
    if (auto last = collectionView_->cellForItemAtIndexPath(*lastHighlightIndexPath_)) last->setHighlighted(false);
  }
  if (!cell) return;
  lastHighlightIndexPath_ = cell;
  if (auto view = collectionView_->cellForItemAtIndexPath(*cell)) view->setHighlighted(true);
}

void QLInputItemGroupView::showPreview(const IndexPath& cell, std::shared_ptr<const Image> image) {
  highlightAtIndexPath(cell);
  View* container = superview();
  auto cellView = collectionView_->cellForItemAtIndexPath(cell);
  if (!container || !cellView) return;
  preview_.show(std::move(image), *cellView, *container);
}

void QLInputItemGroupView::dismissPreview() {
  if (lastHighlightIndexPath_) {
    if (auto last = collectionView_->cellForItemAtIndexPath(*lastHighlightIndexPath_)) last->setHighlighted(false);
    lastHighlightIndexPath_.reset();
  }
  preview_.dismiss();
}

// --- Recommended downloads --------------------------------------------------

void QLInputItemGroupView::updateProgressWithPack(const PackagePtr& package, const IndexPath& cell) {
  if (!package) return;
  recommendPackageCache_[package->guid()] = package;
  std::weak_ptr<View> weak = weak_from_this();
  std::weak_ptr<QLPackage> weakPackage = package;
  const int section = cell.section;
  progressObservations_[package->guid()] = package->observeProgress([weak, weakPackage, section](const double&) {
    // Progress is set on the pipeline's threads; cells live on the main one.
    MainQueue::shared().async([weak, weakPackage, section] {
      auto self = std::static_pointer_cast<QLInputItemGroupView>(weak.lock());
      auto package = weakPackage.lock();
      if (!self || !package || section != 0 || !self->isRecommendGroup(0)) return;
      auto source = self->dataSource();
      auto category = source && source->recommendCategory ? source->recommendCategory() : nullptr;
      if (!category) return;
      const auto& packages = category->packages();
      auto it = std::find_if(packages.begin(), packages.end(),
                             [&](const PackagePtr& p) { return p && p->isEqual(*package); });
      if (it == packages.end()) return;
      auto card = std::dynamic_pointer_cast<QLRecommendCollectionCell>(self->collectionView_->cellForItemAtIndexPath(
          IndexPath::forItem(static_cast<int>(it - packages.begin()), 0)));
      const double progress = package->progress();
      if (card && progress >= 0) card->setProgress(progress);
    });
  });
}

void QLInputItemGroupView::startRecommendDownload(const PackagePtr& package, const IndexPath& cell) {
  updateProgressWithPack(package, cell);
  std::weak_ptr<View> weak = weak_from_this();
  manager_.downloadPackage(package, [weak, package](const Status& status) {
    if (!status.ok()) package->setProgress(0);
    auto self = std::static_pointer_cast<QLInputItemGroupView>(weak.lock());
    if (!self) return;
    auto source = self->dataSource();
    if (source && source->recommendDownloadFinished) source->recommendDownloadFinished();
    const bool onRecommend = source && source->recommendGroupSelected && source->recommendGroupSelected();
    self->jumpTo(onRecommend ? Point{} : self->contentOffsetWithGroupPath(self->currentGroupPath_));
  });
}

}  // namespace vexa

#include "vexa/platform/ui/CollectionView.h"

#include <algorithm>
#include <utility>

#include "vexa/platform/MainQueue.h"

namespace vexa {

namespace {
std::string cellKey(const std::string& id) { return "c\x1f" + id; }
std::string supplementaryKey(const std::string& kind, const std::string& id) {
  return "s\x1f" + kind + "\x1f" + id;
}
}  // namespace

CollectionView::CollectionView(Rect frame, std::shared_ptr<CollectionViewLayout> layout)
    : ScrollView(frame) {
  setCollectionViewLayout(std::move(layout));
}

CollectionView::~CollectionView() {
  if (layout_) layout_->setCollectionView(nullptr);
}

void CollectionView::setCollectionViewLayout(std::shared_ptr<CollectionViewLayout> layout) {
  if (layout_) layout_->setCollectionView(nullptr);
  layout_ = std::move(layout);
  if (layout_) layout_->setCollectionView(this);
  layoutWasInvalidated();
}

void CollectionView::setDataSource(std::weak_ptr<CollectionViewDataSource> dataSource) {
  dataSource_ = std::move(dataSource);
  reloadData();
}

void CollectionView::setDelegate(std::weak_ptr<CollectionViewDelegate> delegate) {
  ScrollView::setDelegate(delegate);
  delegate_ = std::move(delegate);
  layoutWasInvalidated();
}

void CollectionView::registerCell(const std::string& identifier, CellFactory factory) {
  factories_[cellKey(identifier)] = std::move(factory);
}

void CollectionView::registerSupplementaryView(const std::string& kind,
                                               const std::string& identifier, CellFactory factory) {
  factories_[supplementaryKey(kind, identifier)] = std::move(factory);
}

std::shared_ptr<CollectionReusableView> CollectionView::dequeue(const std::string& key) {
  auto& pool = pool_[key];
  if (!pool.empty()) {
    auto view = pool.back();
    pool.pop_back();
    view->prepareForReuse();
    return view;
  }
  auto it = factories_.find(key);
  if (it == factories_.end() || !it->second) return nullptr;
  return it->second();
}

std::shared_ptr<CollectionViewCell> CollectionView::dequeueReusableCell(const std::string& identifier,
                                                                        const IndexPath& indexPath) {
  auto view = std::dynamic_pointer_cast<CollectionViewCell>(dequeue(cellKey(identifier)));
  if (!view) return nullptr;
  view->setReuseIdentifier(identifier);
  if (auto a = layout_ ? layout_->layoutAttributesForItemAtIndexPath(indexPath) : std::nullopt)
    view->applyLayoutAttributes(*a);
  return view;
}

std::shared_ptr<CollectionReusableView> CollectionView::dequeueReusableSupplementaryView(
    const std::string& kind, const std::string& identifier, const IndexPath& indexPath) {
  auto view = dequeue(supplementaryKey(kind, identifier));
  if (!view) return nullptr;
  view->setReuseIdentifier(identifier);
  if (auto a = layout_ ? layout_->layoutAttributesForSupplementaryViewOfKind(kind, indexPath)
                       : std::nullopt)
    view->applyLayoutAttributes(*a);
  return view;
}

void CollectionView::enqueue(const std::shared_ptr<CollectionReusableView>& view) {
  view->removeFromSuperview();
  if (view->reuseIdentifier().empty()) return;
  // The cell's own kind is unknown here; cells and supplementary views keep
  // separate pools through the key they were registered under.
  std::string key = std::dynamic_pointer_cast<CollectionViewCell>(view)
                        ? cellKey(view->reuseIdentifier())
                        : std::string();
  if (key.empty()) {
    for (const auto& [k, v] : visibleSupplementary_)
      if (v == view) key = supplementaryKey(k.first, view->reuseIdentifier());
  }
  if (!key.empty()) pool_[key].push_back(view);
}

void CollectionView::loadCounts() {
  if (counts_) return;
  std::vector<int> counts;
  auto ds = dataSource();
  if (ds) {
    int sections = ds->numberOfSectionsInCollectionView ? ds->numberOfSectionsInCollectionView(*this) : 1;
    for (int s = 0; s < sections; ++s)
      counts.push_back(std::max(0, ds->numberOfItemsInSection ? ds->numberOfItemsInSection(*this, s) : 0));
  }
  counts_ = std::move(counts);
}

int CollectionView::numberOfSections() {
  loadCounts();
  return static_cast<int>(counts_->size());
}

int CollectionView::numberOfItemsInSection(int section) {
  loadCounts();
  if (section < 0 || section >= static_cast<int>(counts_->size())) return 0;
  return (*counts_)[static_cast<size_t>(section)];
}

void CollectionView::reloadData() {
  if (batchDepth_ > 0) {
    reloadHeld_ = true;
    return;
  }
  counts_.reset();
  selected_.clear();
  auto cells = std::move(visibleCells_);
  visibleCells_.clear();
  for (auto& [path, cell] : cells) enqueue(cell);
  auto supplementary = visibleSupplementary_;
  for (auto& [key, view] : supplementary) enqueue(view);
  visibleSupplementary_.clear();
  layoutWasInvalidated();
}

void CollectionView::performBatchUpdates(const std::function<void()>& updates,
                                         std::function<void(bool)> completion) {
  auto keep = shared_from_this();
  if (batchDepth_++ == 0) {
    loadCounts();
    countsBefore_ = *counts_;
    batch_ = BatchUpdate();
    reloadHeld_ = false;
  }
  if (updates) updates();
  if (--batchDepth_ > 0) {
    // A nested batch is part of the outer one.
    if (completion) MainQueue::shared().async([completion] { completion(true); });
    return;
  }
  BatchUpdate update = std::move(batch_);
  batch_ = BatchUpdate();
  bool reload = std::exchange(reloadHeld_, false);
  counts_.reset();
  loadCounts();
  if (!update.isEmpty() && update.fits(countsBefore_, *counts_)) {
    applyUpdate(update, reload, std::move(completion));
    return;
  }
  reloadData();
  if (!update.isEmpty()) {
    lastUpdate_ = update.record(std::nullopt);
    lastUpdate_->reloaded = true;
  }
  if (completion) MainQueue::shared().async([completion] { completion(true); });
}

void CollectionView::deleteItemsAtIndexPaths(const std::vector<IndexPath>& paths) {
  if (batchDepth_ > 0) return batch_.deleteItems(paths);
  performBatchUpdates([&] { batch_.deleteItems(paths); });
}

void CollectionView::insertItemsAtIndexPaths(const std::vector<IndexPath>& paths) {
  if (batchDepth_ > 0) return batch_.insertItems(paths);
  performBatchUpdates([&] { batch_.insertItems(paths); });
}

void CollectionView::applyUpdate(const BatchUpdate& update, bool reloadItems,
                                 std::function<void(bool)> completion) {
  AnimationRecord animation{BatchUpdate::kDuration, 0, AnimationCurve::EaseInOut};
  std::vector<std::shared_ptr<View>> leaving;
  std::map<IndexPath, std::shared_ptr<CollectionViewCell>> staying;
  auto cells = std::move(visibleCells_);
  visibleCells_.clear();
  for (auto& [path, cell] : cells) {
    auto moved = update.newIndexPath(path);
    if (!moved) leaving.push_back(cell);
    else if (reloadItems) enqueue(cell);  // the held reload asks for them again
    else staying[*moved] = cell;
  }
  visibleCells_ = std::move(staying);
  if (reloadItems) {
    auto supplementary = visibleSupplementary_;
    for (auto& [key, view] : supplementary) enqueue(view);
    visibleSupplementary_.clear();
  }
  std::set<IndexPath> selected;
  for (const auto& p : selected_)
    if (auto moved = update.newIndexPath(p)) selected.insert(*moved);
  selected_ = std::move(selected);
  lastUpdate_ = update.record(animation);
  ViewAnimation::perform(animation, [&] {
    for (auto& v : leaving) v->setAlpha(0);
    layoutWasInvalidated();
    prepareLayoutIfNeeded();
    updateVisibleViews();
  }, BatchUpdate::retiring(leaving, std::move(completion)));
}

void CollectionView::layoutWasInvalidated() {
  layoutValid_ = false;
  setNeedsLayout();
}

void CollectionView::prepareLayoutIfNeeded() {
  if (layoutValid_ || !layout_) return;
  layoutValid_ = true;
  loadCounts();
  layout_->prepareLayout();
  setContentSize(layout_->collectionViewContentSize());
}

void CollectionView::willChangeBounds(const Rect& newBounds) {
  if (layout_ && layoutValid_ && layout_->shouldInvalidateLayoutForBoundsChange(newBounds))
    layout_->invalidateLayout();
}

void CollectionView::didChangeBounds(const Rect&) { setNeedsLayout(); }

void CollectionView::layoutSubviews() {
  ScrollView::layoutSubviews();
  prepareLayoutIfNeeded();
  updateVisibleViews();
}

void CollectionView::updateVisibleViews() {
  if (!layout_) return;
  auto attributes = layout_->layoutAttributesForElementsInRect(bounds());
  std::map<IndexPath, const CollectionViewLayoutAttributes*> cells;
  std::map<SupplementaryKey, const CollectionViewLayoutAttributes*> supplementary;
  for (const auto& a : attributes) {
    if (a.category() == CollectionViewLayoutAttributes::Category::Cell) {
      if (a.indexPath().item < numberOfItemsInSection(a.indexPath().section)) cells[a.indexPath()] = &a;
    } else {
      supplementary[{a.representedElementKind(), a.indexPath()}] = &a;
    }
  }
  auto delegate = this->delegate();
  // Cells that scrolled away go back to the pool first, so that the new
  // ones can reuse them.
  for (auto it = visibleCells_.begin(); it != visibleCells_.end();) {
    if (cells.count(it->first)) { ++it; continue; }
    auto cell = it->second;
    IndexPath path = it->first;
    it = visibleCells_.erase(it);
    enqueue(cell);
    if (delegate && delegate->didEndDisplayingCell) delegate->didEndDisplayingCell(*this, *cell, path);
  }
  for (auto it = visibleSupplementary_.begin(); it != visibleSupplementary_.end();) {
    if (supplementary.count(it->first)) { ++it; continue; }
    auto view = it->second;
    enqueue(view);
    it = visibleSupplementary_.erase(it);
  }
  auto ds = dataSource();
  for (const auto& [path, a] : cells) {
    auto found = visibleCells_.find(path);
    if (found != visibleCells_.end()) {
      found->second->applyLayoutAttributes(*a);
      continue;
    }
    if (!ds || !ds->cellForItemAtIndexPath) continue;
    auto cell = ds->cellForItemAtIndexPath(*this, path);
    if (!cell) continue;
    cell->applyLayoutAttributes(*a);
    cell->setSelected(selected_.count(path) > 0);
    visibleCells_[path] = cell;
    addSubview(cell);
    if (delegate && delegate->willDisplayCell) delegate->willDisplayCell(*this, *cell, path);
  }
  for (const auto& [key, a] : supplementary) {
    auto found = visibleSupplementary_.find(key);
    if (found != visibleSupplementary_.end()) {
      found->second->applyLayoutAttributes(*a);
      continue;
    }
    if (!ds || !ds->viewForSupplementaryElementOfKind) continue;
    auto view = ds->viewForSupplementaryElementOfKind(*this, key.first, key.second);
    if (!view) continue;
    view->applyLayoutAttributes(*a);
    visibleSupplementary_[key] = view;
    addSubview(view);
  }
}

std::shared_ptr<CollectionViewCell> CollectionView::cellForItemAtIndexPath(const IndexPath& p) const {
  auto it = visibleCells_.find(p);
  return it == visibleCells_.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<CollectionViewCell>> CollectionView::visibleCells() const {
  std::vector<std::shared_ptr<CollectionViewCell>> out;
  for (const auto& [p, c] : visibleCells_) out.push_back(c);
  return out;
}

std::vector<IndexPath> CollectionView::indexPathsForVisibleItems() const {
  std::vector<IndexPath> out;
  for (const auto& [p, c] : visibleCells_) out.push_back(p);
  return out;
}

std::optional<IndexPath> CollectionView::indexPathForCell(const CollectionViewCell* cell) const {
  for (const auto& [p, c] : visibleCells_)
    if (c.get() == cell) return p;
  return std::nullopt;
}

std::optional<IndexPath> CollectionView::indexPathForItemAtPoint(Point point) {
  prepareLayoutIfNeeded();
  if (!layout_) return std::nullopt;
  for (const auto& a : layout_->layoutAttributesForElementsInRect(Rect(point, Size{1, 1})))
    if (a.category() == CollectionViewLayoutAttributes::Category::Cell && a.frame().contains(point))
      return a.indexPath();
  return std::nullopt;
}

std::optional<CollectionViewLayoutAttributes> CollectionView::layoutAttributesForItemAtIndexPath(
    const IndexPath& p) {
  prepareLayoutIfNeeded();
  return layout_ ? layout_->layoutAttributesForItemAtIndexPath(p) : std::nullopt;
}

void CollectionView::scrollToItemAtIndexPath(const IndexPath& p, CollectionViewScrollPosition pos,
                                             bool animated) {
  auto a = layoutAttributesForItemAtIndexPath(p);
  if (!a) return;
  Rect f = a->frame();
  Rect b = bounds();
  Point o = b.origin;
  switch (pos) {
    case CollectionViewScrollPosition::None: scrollRectToVisible(f, animated); return;
    case CollectionViewScrollPosition::Left: o.x = f.minX(); break;
    case CollectionViewScrollPosition::CenteredHorizontally: o.x = f.midX() - b.width() / 2; break;
    case CollectionViewScrollPosition::Right: o.x = f.maxX() - b.width(); break;
    case CollectionViewScrollPosition::Top: o.y = f.minY(); break;
    case CollectionViewScrollPosition::CenteredVertically: o.y = f.midY() - b.height() / 2; break;
    case CollectionViewScrollPosition::Bottom: o.y = f.maxY() - b.height(); break;
  }
  setContentOffset(clampedOffset(o), animated);
}

std::vector<IndexPath> CollectionView::indexPathsForSelectedItems() const {
  return std::vector<IndexPath>(selected_.begin(), selected_.end());
}

void CollectionView::selectItemAtIndexPath(const std::optional<IndexPath>& p, bool animated,
                                           CollectionViewScrollPosition position) {
  if (!allowsMultipleSelection_) {
    for (const auto& s : selected_)
      if (auto c = cellForItemAtIndexPath(s)) c->setSelected(false);
    selected_.clear();
  }
  if (!p) return;
  selected_.insert(*p);
  if (auto c = cellForItemAtIndexPath(*p)) c->setSelected(true);
  if (position != CollectionViewScrollPosition::None) scrollToItemAtIndexPath(*p, position, animated);
}

void CollectionView::deselectItemAtIndexPath(const IndexPath& p, bool) {
  selected_.erase(p);
  if (auto c = cellForItemAtIndexPath(p)) c->setSelected(false);
}

void CollectionView::didTapAt(Point point) {
  if (!allowsSelection_) return;
  auto path = indexPathForItemAtPoint(point);
  if (!path) return;
  auto keep = shared_from_this();
  auto d = delegate();
  if (d && d->shouldSelectItemAtIndexPath && !d->shouldSelectItemAtIndexPath(*this, *path)) return;
  if (allowsMultipleSelection_ && selected_.count(*path)) {
    deselectItemAtIndexPath(*path, false);
    if (d && d->didDeselectItemAtIndexPath) d->didDeselectItemAtIndexPath(*this, *path);
    return;
  }
  if (!allowsMultipleSelection_) {
    auto previous = selected_;
    for (const auto& s : previous) {
      if (s == *path) continue;
      deselectItemAtIndexPath(s, false);
      if (d && d->didDeselectItemAtIndexPath) d->didDeselectItemAtIndexPath(*this, s);
    }
  }
  selected_.insert(*path);
  if (auto c = cellForItemAtIndexPath(*path)) c->setSelected(true);
  if (d && d->didSelectItemAtIndexPath) d->didSelectItemAtIndexPath(*this, *path);
}

}  // namespace vexa

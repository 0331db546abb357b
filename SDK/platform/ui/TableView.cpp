#include "vexa/platform/ui/TableView.h"

#include <algorithm>
#include <utility>

namespace vexa {

TableView::TableView(Rect frame, TableViewStyle style) : ScrollView(frame), style_(style) {
  setBackgroundColor(Color::whiteColor());
}

void TableView::setDataSource(std::weak_ptr<TableViewDataSource> dataSource) {
  dataSource_ = std::move(dataSource);
  reloadData();
}

void TableView::setDelegate(std::weak_ptr<TableViewDelegate> delegate) {
  ScrollView::setDelegate(delegate);
  delegate_ = std::move(delegate);
  reloadData();
}

void TableView::setTableHeaderView(std::shared_ptr<View> view) {
  if (tableHeaderView_) tableHeaderView_->removeFromSuperview();
  tableHeaderView_ = std::move(view);
  if (tableHeaderView_) addSubview(tableHeaderView_);
  reloadData();
}

void TableView::registerCell(const std::string& identifier, CellFactory factory) {
  factories_[identifier] = std::move(factory);
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCellWithIdentifier(const std::string& id) {
  auto& pool = pool_[id];
  std::shared_ptr<TableViewCell> cell;
  if (!pool.empty()) {
    cell = pool.back();
    pool.pop_back();
    cell->prepareForReuse();
  } else if (auto it = factories_.find(id); it != factories_.end() && it->second) {
    cell = it->second();
  }
  if (cell) cell->setReuseIdentifier(id);
  return cell;
}

void TableView::recycle(const std::shared_ptr<TableViewCell>& cell) {
  cell->removeFromSuperview();
  if (!cell->reuseIdentifier().empty()) pool_[cell->reuseIdentifier()].push_back(cell);
}

void TableView::reloadData() {
  if (updateDepth_ > 0) {
    reloadHeld_ = true;
    return;
  }
  geometry_.reset();
  auto cells = std::move(visibleCells_);
  visibleCells_.clear();
  for (auto& [p, c] : cells) recycle(c);
  for (auto& [k, v] : visibleHeaders_) v->removeFromSuperview();
  visibleHeaders_.clear();
  if (selected_ && selected_->section >= numberOfSections()) selected_.reset();
  setNeedsLayout();
}

std::vector<int> TableView::rowCounts() {
  computeGeometry();
  std::vector<int> counts;
  for (const auto& g : *geometry_) counts.push_back(static_cast<int>(g.rowTops.size()));
  return counts;
}

void TableView::beginUpdates() {
  if (updateDepth_++ > 0) return;
  countsBefore_ = rowCounts();
  update_ = BatchUpdate();
  rowAnimation_ = TableViewRowAnimation::None;
  reloadHeld_ = false;
}

void TableView::endUpdates() {
  if (updateDepth_ == 0 || --updateDepth_ > 0) return;
  BatchUpdate update = std::move(update_);
  update_ = BatchUpdate();
  bool reload = std::exchange(reloadHeld_, false);
  if (update.isEmpty()) {
    // Heights may have changed; a held reload runs now.
    if (reload) reloadData();
    geometry_.reset();
    setNeedsLayout();
    return;
  }
  geometry_.reset();
  if (update.fits(countsBefore_, rowCounts())) {
    applyUpdate(update, reload);
    return;
  }
  reloadData();
  lastUpdate_ = update.record(std::nullopt);
  lastUpdate_->reloaded = true;
}

void TableView::applyUpdate(const BatchUpdate& update, bool reloadRows) {
  std::optional<AnimationRecord> animation;
  if (rowAnimation_ != TableViewRowAnimation::None)
    animation = AnimationRecord{BatchUpdate::kDuration, 0, AnimationCurve::EaseInOut};
  std::vector<std::shared_ptr<View>> leaving;
  std::map<IndexPath, std::shared_ptr<TableViewCell>> staying;
  for (auto& [path, cell] : visibleCells_) {
    auto moved = update.newIndexPath(path);
    if (!moved) {
      leaving.push_back(cell);
    } else if (reloadRows) {
      recycle(cell);  // the held reload asks the data source for them again
    } else {
      staying[*moved] = cell;
    }
  }
  visibleCells_ = std::move(staying);
  if (reloadRows) {
    for (auto& [k, v] : visibleHeaders_) v->removeFromSuperview();
    visibleHeaders_.clear();
  }
  if (selected_) selected_ = update.newIndexPath(*selected_);
  lastUpdate_ = update.record(animation);
  if (!animation) {
    for (auto& v : leaving) v->removeFromSuperview();
    setNeedsLayout();
    return;
  }
  auto mode = rowAnimation_;
  ViewAnimation::perform(*animation, [&] {
    for (auto& v : leaving) {
      Rect f = v->frame();
      if (mode == TableViewRowAnimation::Left) v->setFrame(f.offsetBy(-f.width(), 0));
      else if (mode == TableViewRowAnimation::Right) v->setFrame(f.offsetBy(f.width(), 0));
      else v->setAlpha(0);
    }
    layoutSubviews();
  }, BatchUpdate::retiring(leaving, nullptr));
}

void TableView::insertRowsAtIndexPaths(const std::vector<IndexPath>& paths,
                                       TableViewRowAnimation animation) {
  changeRows(paths, animation, true);
}

void TableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& paths,
                                       TableViewRowAnimation animation) {
  changeRows(paths, animation, false);
}

void TableView::changeRows(const std::vector<IndexPath>& paths, TableViewRowAnimation animation,
                           bool insert) {
  beginUpdates();
  if (insert) update_.insertItems(paths);
  else update_.deleteItems(paths);
  if (animation != TableViewRowAnimation::None) rowAnimation_ = animation;
  endUpdates();
}

void TableView::reloadRowsAtIndexPaths(const std::vector<IndexPath>&, TableViewRowAnimation) {
  reloadData();
}

void TableView::computeGeometry() {
  if (geometry_) return;
  std::vector<SectionGeometry> sections;
  auto ds = dataSource();
  auto d = delegate();
  double y = tableHeaderView_ ? tableHeaderView_->frame().height() : 0;
  int count = !ds ? 0 : ds->numberOfSectionsInTableView ? ds->numberOfSectionsInTableView(*this) : 1;
  for (int s = 0; s < count; ++s) {
    SectionGeometry g;
    g.top = y;
    g.headerHeight = d && d->heightForHeaderInSection ? d->heightForHeaderInSection(*this, s) : headerHeight_;
    y += std::max(0.0, g.headerHeight);
    int rows = ds->numberOfRowsInSection ? std::max(0, ds->numberOfRowsInSection(*this, s)) : 0;
    for (int r = 0; r < rows; ++r) {
      double h = d && d->heightForRowAtIndexPath ? d->heightForRowAtIndexPath(*this, IndexPath{s, r}) : rowHeight_;
      h = std::max(0.0, h);
      g.rowTops.push_back(y);
      g.rowHeights.push_back(h);
      y += h;
    }
    g.footerTop = y;
    g.footerHeight = d && d->heightForFooterInSection ? d->heightForFooterInSection(*this, s) : footerHeight_;
    y += std::max(0.0, g.footerHeight);
    sections.push_back(std::move(g));
  }
  geometry_ = std::move(sections);
  setContentSize(Size{bounds().width(), y});
}

int TableView::numberOfSections() {
  computeGeometry();
  return static_cast<int>(geometry_->size());
}

int TableView::numberOfRowsInSection(int section) {
  computeGeometry();
  if (section < 0 || section >= static_cast<int>(geometry_->size())) return 0;
  return static_cast<int>((*geometry_)[static_cast<size_t>(section)].rowTops.size());
}

Rect TableView::rectForRowAtIndexPath(const IndexPath& p) {
  if (p.row() < 0 || p.row() >= numberOfRowsInSection(p.section)) return Rect();
  const auto& g = (*geometry_)[static_cast<size_t>(p.section)];
  return Rect(0, g.rowTops[static_cast<size_t>(p.row())], bounds().width(),
              g.rowHeights[static_cast<size_t>(p.row())]);
}

Rect TableView::rectForHeaderInSection(int section) {
  if (section < 0 || section >= numberOfSections()) return Rect();
  const auto& g = (*geometry_)[static_cast<size_t>(section)];
  return Rect(0, g.top, bounds().width(), std::max(0.0, g.headerHeight));
}

std::optional<IndexPath> TableView::indexPathForRowAtPoint(Point p) {
  computeGeometry();
  for (size_t s = 0; s < geometry_->size(); ++s) {
    const auto& g = (*geometry_)[s];
    auto it = std::upper_bound(g.rowTops.begin(), g.rowTops.end(), p.y);
    if (it == g.rowTops.begin()) continue;
    size_t r = static_cast<size_t>(it - g.rowTops.begin()) - 1;
    if (p.y < g.rowTops[r] + g.rowHeights[r] && p.x >= 0 && p.x < bounds().width())
      return IndexPath{static_cast<int>(s), static_cast<int>(r)};
  }
  return std::nullopt;
}

std::shared_ptr<TableViewCell> TableView::cellForRowAtIndexPath(const IndexPath& p) const {
  auto it = visibleCells_.find(p);
  return it == visibleCells_.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<TableViewCell>> TableView::visibleCells() const {
  std::vector<std::shared_ptr<TableViewCell>> out;
  for (const auto& [p, c] : visibleCells_) out.push_back(c);
  return out;
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows() const {
  std::vector<IndexPath> out;
  for (const auto& [p, c] : visibleCells_) out.push_back(p);
  return out;
}

std::shared_ptr<View> TableView::headerViewForSection(int section) const {
  auto it = visibleHeaders_.find({section, false});
  return it == visibleHeaders_.end() ? nullptr : it->second;
}

void TableView::scrollToRowAtIndexPath(const IndexPath& p, TableViewScrollPosition position,
                                       bool animated) {
  Rect r = rectForRowAtIndexPath(p);
  if (r.isEmpty()) return;
  Rect b = bounds();
  Point o = b.origin;
  switch (position) {
    case TableViewScrollPosition::None: scrollRectToVisible(r, animated); return;
    case TableViewScrollPosition::Top: o.y = r.minY(); break;
    case TableViewScrollPosition::Middle: o.y = r.midY() - b.height() / 2; break;
    case TableViewScrollPosition::Bottom: o.y = r.maxY() - b.height(); break;
  }
  setContentOffset(clampedOffset(o), animated);
}

void TableView::selectRowAtIndexPath(const std::optional<IndexPath>& p, bool) {
  if (selected_) deselectRowAtIndexPath(*selected_, false);
  selected_ = p;
  if (p)
    if (auto c = cellForRowAtIndexPath(*p)) c->setSelected(true);
}

void TableView::deselectRowAtIndexPath(const IndexPath& p, bool) {
  if (selected_ == p) selected_.reset();
  if (auto c = cellForRowAtIndexPath(p)) c->setSelected(false);
}

void TableView::didChangeBounds(const Rect& old) {
  if (old.size.width != bounds().width()) geometry_.reset();
  setNeedsLayout();
}

void TableView::layoutSubviews() {
  ScrollView::layoutSubviews();
  computeGeometry();
  if (tableHeaderView_)
    tableHeaderView_->setFrame(Rect(0, 0, bounds().width(), tableHeaderView_->frame().height()));
  updateVisibleViews();
}

Rect TableView::shownHeaderFrame(const SectionGeometry& g, const Rect& visible) const {
  double height = std::max(0.0, g.headerHeight);
  double y = g.top;
  if (style_ == TableViewStyle::Plain) {
    double sectionEnd = g.footerTop + std::max(0.0, g.footerHeight);
    double pinned = visible.minY() + contentInset().top;
    y = std::max(g.top, std::min(pinned, sectionEnd - height));
  }
  return Rect(0, y, visible.width(), height);
}

void TableView::updateVisibleViews() {
  Rect visible = bounds();
  std::map<IndexPath, Rect> rows;
  std::map<std::pair<int, bool>, Rect> headers;
  for (size_t s = 0; s < geometry_->size(); ++s) {
    const auto& g = (*geometry_)[s];
    int section = static_cast<int>(s);
    Rect header = shownHeaderFrame(g, visible);
    if (header.intersects(visible)) headers[{section, false}] = header;
    Rect footer(0, g.footerTop, visible.width(), g.footerHeight);
    if (footer.intersects(visible)) headers[{section, true}] = footer;
    auto first = std::upper_bound(g.rowTops.begin(), g.rowTops.end(), visible.minY());
    size_t r = first == g.rowTops.begin() ? 0 : static_cast<size_t>(first - g.rowTops.begin()) - 1;
    for (; r < g.rowTops.size() && g.rowTops[r] < visible.maxY(); ++r) {
      Rect frame(0, g.rowTops[r], visible.width(), g.rowHeights[r]);
      if (frame.intersects(visible)) rows[{section, static_cast<int>(r)}] = frame;
    }
  }
  for (auto it = visibleCells_.begin(); it != visibleCells_.end();) {
    if (rows.count(it->first)) { ++it; continue; }
    recycle(it->second);
    it = visibleCells_.erase(it);
  }
  for (auto it = visibleHeaders_.begin(); it != visibleHeaders_.end();) {
    if (headers.count(it->first)) { ++it; continue; }
    it->second->removeFromSuperview();
    it = visibleHeaders_.erase(it);
  }
  auto ds = dataSource();
  auto d = delegate();
  for (const auto& [path, frame] : rows) {
    if (auto found = visibleCells_.find(path); found != visibleCells_.end()) {
      found->second->setFrame(frame);
      continue;
    }
    if (!ds || !ds->cellForRowAtIndexPath) continue;
    auto cell = ds->cellForRowAtIndexPath(*this, path);
    if (!cell) continue;
    cell->setFrame(frame);
    cell->setSelected(selected_ == path);
    visibleCells_[path] = cell;
    insertSubview(cell, 0);
    if (d && d->willDisplayCell) d->willDisplayCell(*this, *cell, path);
  }
  for (const auto& [key, frame] : headers) {
    if (auto found = visibleHeaders_.find(key); found != visibleHeaders_.end()) {
      found->second->setFrame(frame);
      continue;
    }
    std::function<std::shared_ptr<View>(TableView&, int)> make =
        key.second ? (d ? d->viewForFooterInSection : nullptr)
                            : (d ? d->viewForHeaderInSection : nullptr);
    if (!make) continue;
    auto view = make(*this, key.first);
    if (!view) continue;
    view->setFrame(frame);
    visibleHeaders_[key] = view;
    addSubview(view);
  }
}

void TableView::didTapAt(Point point) {
  for (const auto& [key, view] : visibleHeaders_)
    if (view->frame().contains(point)) return;
  auto path = indexPathForRowAtPoint(point);
  if (!path) return;
  auto keep = shared_from_this();
  selectRowAtIndexPath(path, false);
  if (auto d = delegate(); d && d->didSelectRowAtIndexPath) d->didSelectRowAtIndexPath(*this, *path);
}

}  // namespace vexa

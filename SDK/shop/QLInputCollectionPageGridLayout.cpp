#include "vexa/shop/QLInputCollectionPageGridLayout.h"

#include <algorithm>
#include <cmath>

#include "vexa/platform/ui/CollectionView.h"

namespace vexa {

void QLInputCollectionPageGridLayout::setLineSpacing(double spacing) {
  if (spacing == lineSpacing_) return;
  lineSpacing_ = spacing;
  invalidateLayout();
}

void QLInputCollectionPageGridLayout::setItemSpacing(double spacing) {
  if (spacing == itemSpacing_) return;
  itemSpacing_ = spacing;
  invalidateLayout();
}

void QLInputCollectionPageGridLayout::setPageContentInsets(EdgeInsets insets) {
  if (insets == pageContentInsets_) return;
  pageContentInsets_ = insets;
  invalidateLayout();
}

Size QLInputCollectionPageGridLayout::pageSize() const {
  return collectionView() ? collectionView()->bounds().size : Size{};
}

Size QLInputCollectionPageGridLayout::avaliableSizePerPage() const {
  Size page = pageSize();
  const EdgeInsets& e = pageContentInsets_;
  return Size{page.width - e.left - e.right, page.height - e.top - e.bottom};
}

int QLInputCollectionPageGridLayout::numberOfSections() const {
  return collectionView() ? collectionView()->numberOfSections() : 0;
}

int QLInputCollectionPageGridLayout::numberOfItemsWithSection(int section) const {
  return collectionView() ? collectionView()->numberOfItemsInSection(section) : 0;
}

int QLInputCollectionPageGridLayout::rowsAtSection(int section) const {
  auto d = gridLayoutDelegate();
  return d && d->rowsOfSection ? std::max(1, d->rowsOfSection(section)) : 1;
}

int QLInputCollectionPageGridLayout::columnsAtSection(int section) const {
  auto d = gridLayoutDelegate();
  return d && d->columsOfSection ? std::max(1, d->columsOfSection(section)) : 1;
}

int QLInputCollectionPageGridLayout::numberOfItemsPerPageAtSection(int section) const {
  return rowsAtSection(section) * columnsAtSection(section);
}

int QLInputCollectionPageGridLayout::pagesAtSection(int section) const {
  int n = numberOfItemsWithSection(section);
  int perPage = numberOfItemsPerPageAtSection(section);
  // Whole-number division: exact for every count, unlike a float quotient.
  return n <= 0 ? 0 : (n + perPage - 1) / perPage;
}

Size QLInputCollectionPageGridLayout::itemSizeAtSection(int section) const {
  Size available = avaliableSizePerPage();
  int rows = rowsAtSection(section), cols = columnsAtSection(section);
  return Size{(available.width - (cols - 1) * itemSpacing_) / cols,
              (available.height - (rows - 1) * lineSpacing_) / rows};
}

double QLInputCollectionPageGridLayout::originXForSection(int section) const {
  double x = 0;
  double width = pageSize().width;
  for (int k = 0; k < section; ++k) x += pagesAtSection(k) * width;
  return x;
}

void QLInputCollectionPageGridLayout::prepareLayout() {
  CollectionViewLayout::prepareLayout();
  sections_.clear();
  page_ = pageSize();
  const int count = numberOfSections();
  sections_.reserve(static_cast<size_t>(std::max(0, count)));
  double origin = 0;
  for (int s = 0; s < count; ++s) {
    SectionGeometry g;
    g.count = std::max(0, numberOfItemsWithSection(s));
    g.columns = columnsAtSection(s);
    g.perPage = numberOfItemsPerPageAtSection(s);
    g.pages = pagesAtSection(s);
    g.item = itemSizeAtSection(s);
    g.originX = std::trunc(origin);
    sections_.push_back(g);
    origin += g.pages * page_.width;
  }
}

CollectionViewLayoutAttributes QLInputCollectionPageGridLayout::attributesFor(int section, const SectionGeometry& g,
                                                                              int item) const {
  const EdgeInsets& e = pageContentInsets_;
  const int pageIndex = item / g.perPage;
  const int row = (item % g.perPage) / g.columns;
  const int column = item % g.columns;
  const double x = g.originX + pageIndex * page_.width + e.left + column * (g.item.width + itemSpacing_);
  const double y = e.top + row * (g.item.height + lineSpacing_);
  auto a = CollectionViewLayoutAttributes::forCellWithIndexPath(IndexPath{section, item});
  a.setFrame(Rect(x, y, g.item.width, g.item.height));
  return a;
}

std::unordered_map<IndexPath, CollectionViewLayoutAttributes> QLInputCollectionPageGridLayout::layoutAttributes()
    const {
  std::unordered_map<IndexPath, CollectionViewLayoutAttributes> all;
  for (size_t s = 0; s < sections_.size(); ++s) {
    for (int i = 0; i < sections_[s].count; ++i)
      all.insert_or_assign(IndexPath{static_cast<int>(s), i}, attributesFor(static_cast<int>(s), sections_[s], i));
  }
  return all;
}

Size QLInputCollectionPageGridLayout::collectionViewContentSize() const {
  Size page = pageSize();
  double width = 0;
  for (int s = 0, count = numberOfSections(); s < count; ++s) width += pagesAtSection(s) * page.width;
  return Size{width, page.height};
}

std::vector<CollectionViewLayoutAttributes>
QLInputCollectionPageGridLayout::layoutAttributesForElementsInRect(const Rect& rect) const {
  std::vector<CollectionViewLayoutAttributes> out;
  if (page_.width <= 0 || rect.isEmpty()) return out;
  for (size_t s = 0; s < sections_.size(); ++s) {
    const SectionGeometry& g = sections_[s];
    if (g.count == 0) continue;
    const double end = g.originX + g.pages * page_.width;
    if (rect.maxX() <= g.originX || rect.minX() >= end) continue;
    // Only the pages the rect meets: cells never leave their page.
    const int first = std::max(0, static_cast<int>(std::floor((rect.minX() - g.originX) / page_.width)));
    const int last = std::min(g.pages - 1, static_cast<int>(std::floor((rect.maxX() - g.originX) / page_.width)));
    const int from = first * g.perPage;
    const int to = static_cast<int>(std::min<long long>(g.count, (static_cast<long long>(last) + 1) * g.perPage));
    for (int i = from; i < to; ++i) {
      auto a = attributesFor(static_cast<int>(s), g, i);
      if (a.frame().intersects(rect)) out.push_back(std::move(a));
    }
  }
  return out;
}

std::optional<CollectionViewLayoutAttributes>
QLInputCollectionPageGridLayout::layoutAttributesForItemAtIndexPath(const IndexPath& p) const {
  if (p.section < 0 || p.section >= static_cast<int>(sections_.size())) return std::nullopt;
  const SectionGeometry& g = sections_[static_cast<size_t>(p.section)];
  if (p.item < 0 || p.item >= g.count) return std::nullopt;
  return attributesFor(p.section, g, p.item);
}

bool QLInputCollectionPageGridLayout::shouldInvalidateLayoutForBoundsChange(const Rect& newBounds) const {
  return newBounds.size != pageSize();
}

}  // namespace vexa

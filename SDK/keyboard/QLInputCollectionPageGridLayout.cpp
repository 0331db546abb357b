#include "keyboard/QLInputCollectionPageGridLayout.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/CollectionView.h"

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
  layoutAttributes_ = std::unordered_map<IndexPath, CollectionViewLayoutAttributes>();
  sectionExtents_.clear();
  Size page = pageSize();
  const EdgeInsets& e = pageContentInsets_;
  int sections = numberOfSections();
  // Room for every cell up front: rehashing a large keyboard costs more
  // than all the frame arithmetic.
  size_t total = 0;
  for (int s = 0; s < sections; ++s) total += static_cast<size_t>(std::max(0, numberOfItemsWithSection(s)));
  layoutAttributes_.reserve(std::max<size_t>(100, total));
  double origin = 0;
  for (int s = 0; s < sections; ++s) {
    int n = numberOfItemsWithSection(s);
    int cols = columnsAtSection(s);
    int perPage = numberOfItemsPerPageAtSection(s);
    Size item = itemSizeAtSection(s);
    double originX = std::trunc(origin);
    Rect extent;
    for (int i = 0; i < n; ++i) {
      int pageIndex = i / perPage;
      int row = (i % perPage) / cols;
      int column = i % cols;
      double x = originX + pageIndex * page.width + e.left + column * (item.width + itemSpacing_);
      double y = e.top + row * (item.height + lineSpacing_);
      auto a = CollectionViewLayoutAttributes::forCellWithIndexPath(IndexPath{s, i});
      a.setFrame(Rect(x, y, item.width, item.height));
      extent = i == 0 ? a.frame() : extent.unionWith(a.frame());
      layoutAttributes_.insert_or_assign(IndexPath{s, i}, a);
    }
    sectionExtents_.emplace_back(n, extent);
    origin += pagesAtSection(s) * page.width;
  }
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
  for (size_t s = 0; s < sectionExtents_.size(); ++s) {
    const auto& [count, extent] = sectionExtents_[s];
    if (!extent.intersects(rect)) continue;
    for (int i = 0; i < count; ++i) {
      auto a = layoutAttributesForItemAtIndexPath(IndexPath{static_cast<int>(s), i});
      if (a && a->frame().intersects(rect)) out.push_back(*a);
    }
  }
  return out;
}

std::optional<CollectionViewLayoutAttributes>
QLInputCollectionPageGridLayout::layoutAttributesForItemAtIndexPath(const IndexPath& p) const {
  auto it = layoutAttributes_.find(p);
  if (it == layoutAttributes_.end()) return std::nullopt;
  return it->second;
}

bool QLInputCollectionPageGridLayout::shouldInvalidateLayoutForBoundsChange(const Rect& newBounds) const {
  return newBounds.size != pageSize();
}

}  // namespace vexa

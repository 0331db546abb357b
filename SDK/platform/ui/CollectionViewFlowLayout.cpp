#include "vexa/platform/ui/CollectionViewFlowLayout.h"

#include <algorithm>

#include "vexa/platform/ui/CollectionView.h"

namespace vexa {

namespace {
// Lays out along two axes: "along" is the direction lines run (across the
// view), "down" the scroll direction. Converts back to x/y at the end.
struct Axes {
  bool horizontal;
  Rect rect(double along, double down, double alongLen, double downLen) const {
    return horizontal ? Rect(down, along, downLen, alongLen) : Rect(along, down, alongLen, downLen);
  }
  double along(Size s) const { return horizontal ? s.height : s.width; }
  double down(Size s) const { return horizontal ? s.width : s.height; }
};
}  // namespace

void CollectionViewFlowLayout::prepareLayout() {
  items_.clear();
  supplementary_.clear();
  contentSize_ = Size{};
  CollectionView* cv = collectionView();
  if (!cv) return;
  auto delegate = std::dynamic_pointer_cast<CollectionViewDelegateFlowLayout>(cv->delegate());
  Axes ax{direction_ == ScrollDirection::Horizontal};
  Size viewSize = cv->bounds().size;
  double breadth = ax.along(viewSize);
  double cursor = 0;  // along the scroll direction
  int sections = cv->numberOfSections();
  items_.resize(static_cast<size_t>(sections));
  for (int s = 0; s < sections; ++s) {
    EdgeInsets inset = delegate && delegate->insetForSectionAtIndex
                           ? delegate->insetForSectionAtIndex(*cv, *this, s) : sectionInset_;
    double lineGap = delegate && delegate->minimumLineSpacingForSectionAtIndex
                         ? delegate->minimumLineSpacingForSectionAtIndex(*cv, *this, s) : lineSpacing_;
    double itemGap = delegate && delegate->minimumInteritemSpacingForSectionAtIndex
                         ? delegate->minimumInteritemSpacingForSectionAtIndex(*cv, *this, s)
                         : interitemSpacing_;
    Size header = delegate && delegate->referenceSizeForHeaderInSection
                      ? delegate->referenceSizeForHeaderInSection(*cv, *this, s) : headerSize_;
    Size footer = delegate && delegate->referenceSizeForFooterInSection
                      ? delegate->referenceSizeForFooterInSection(*cv, *this, s) : footerSize_;
    double startInset = ax.horizontal ? inset.top : inset.left;
    double endInset = ax.horizontal ? inset.bottom : inset.right;
    double downStart = ax.horizontal ? inset.left : inset.top;
    double downEnd = ax.horizontal ? inset.right : inset.bottom;

    if (ax.down(header) > 0) {
      auto a = CollectionViewLayoutAttributes::forSupplementaryViewOfKind(
          kCollectionElementKindSectionHeader, IndexPath{s, 0});
      a.setFrame(ax.rect(0, cursor, breadth, ax.down(header)));
      supplementary_.push_back(a);
      cursor += ax.down(header);
    }
    cursor += downStart;
    double limit = breadth - endInset;
    double along = startInset, lineExtent = 0;
    bool lineEmpty = true;
    int n = cv->numberOfItemsInSection(s);
    auto& list = items_[static_cast<size_t>(s)];
    list.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      Size size = delegate && delegate->sizeForItemAtIndexPath
                      ? delegate->sizeForItemAtIndexPath(*cv, *this, IndexPath{s, i}) : itemSize_;
      if (!lineEmpty && along + ax.along(size) > limit + 1e-9) {
        cursor += lineExtent + lineGap;
        along = startInset;
        lineExtent = 0;
        lineEmpty = true;
      }
      auto a = CollectionViewLayoutAttributes::forCellWithIndexPath(IndexPath{s, i});
      a.setFrame(ax.rect(along, cursor, ax.along(size), ax.down(size)));
      list.push_back(a);
      along += ax.along(size) + itemGap;
      lineExtent = std::max(lineExtent, ax.down(size));
      lineEmpty = false;
    }
    if (!lineEmpty) cursor += lineExtent;
    cursor += downEnd;
    if (ax.down(footer) > 0) {
      auto a = CollectionViewLayoutAttributes::forSupplementaryViewOfKind(
          kCollectionElementKindSectionFooter, IndexPath{s, 0});
      a.setFrame(ax.rect(0, cursor, breadth, ax.down(footer)));
      supplementary_.push_back(a);
      cursor += ax.down(footer);
    }
  }
  contentSize_ = ax.horizontal ? Size{cursor, viewSize.height} : Size{viewSize.width, cursor};
}

std::vector<CollectionViewLayoutAttributes> CollectionViewFlowLayout::layoutAttributesForElementsInRect(
    const Rect& rect) const {
  std::vector<CollectionViewLayoutAttributes> out;
  for (const auto& section : items_) {
    bool horizontal = direction_ == ScrollDirection::Horizontal;
    // Lines start further along the scroll direction one after another.
    auto first = section.begin();
    for (auto it = first; it != section.end(); ++it) {
      if (horizontal ? it->frame().minX() >= rect.maxX() : it->frame().minY() >= rect.maxY()) break;
      if (it->frame().intersects(rect)) out.push_back(*it);
    }
  }
  for (const auto& a : supplementary_)
    if (a.frame().intersects(rect)) out.push_back(a);
  return out;
}

std::optional<CollectionViewLayoutAttributes> CollectionViewFlowLayout::layoutAttributesForItemAtIndexPath(
    const IndexPath& p) const {
  if (p.section < 0 || p.section >= static_cast<int>(items_.size())) return std::nullopt;
  const auto& section = items_[static_cast<size_t>(p.section)];
  if (p.item < 0 || p.item >= static_cast<int>(section.size())) return std::nullopt;
  return section[static_cast<size_t>(p.item)];
}

std::optional<CollectionViewLayoutAttributes>
CollectionViewFlowLayout::layoutAttributesForSupplementaryViewOfKind(const std::string& kind,
                                                                     const IndexPath& p) const {
  for (const auto& a : supplementary_)
    if (a.representedElementKind() == kind && a.indexPath() == p) return a;
  return std::nullopt;
}

bool CollectionViewFlowLayout::shouldInvalidateLayoutForBoundsChange(const Rect& newBounds) const {
  CollectionView* cv = collectionView();
  return cv && cv->bounds().size != newBounds.size;
}

}  // namespace vexa

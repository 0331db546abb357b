#include "vexa/shop/QLCollectionGridLayout.h"

#include <algorithm>
#include <cmath>

#include "vexa/platform/ui/CollectionView.h"

namespace vexa {

void QLCollectionGridLayout::setScrollDirection(int direction) {
  if (direction == scrollDirection_) return;
  scrollDirection_ = direction;
  invalidateLayout();
}

void QLCollectionGridLayout::setSectionInset(EdgeInsets inset) {
  if (inset == sectionInset_) return;
  sectionInset_ = inset;
  invalidateLayout();
}

void QLCollectionGridLayout::setInteritemSpacing(double spacing) {
  if (spacing == interitemSpacing_) return;
  interitemSpacing_ = spacing;
  invalidateLayout();
}

void QLCollectionGridLayout::setLineSpacing(double spacing) {
  if (spacing == lineSpacing_) return;
  lineSpacing_ = spacing;
  invalidateLayout();
}

void QLCollectionGridLayout::setNumberOfItemsPerLine(int count) {
  if (count == numberOfItemsPerLine_) return;
  numberOfItemsPerLine_ = count;
  invalidateLayout();
}

void QLCollectionGridLayout::setAspectRatio(double ratio) {
  if (ratio == aspectRatio_) return;
  aspectRatio_ = ratio;
  invalidateLayout();
}

std::shared_ptr<QLCollectionGridLayoutDelegate> QLCollectionGridLayout::delegate() const {
  CollectionView* cv = collectionView();
  return cv ? std::dynamic_pointer_cast<QLCollectionGridLayoutDelegate>(cv->delegate()) : nullptr;
}

Size QLCollectionGridLayout::viewSize() const {
  return collectionView() ? collectionView()->bounds().size : Size{};
}

int QLCollectionGridLayout::itemCount(int section) const {
  return collectionView() ? collectionView()->numberOfItemsInSection(section) : 0;
}

int QLCollectionGridLayout::sectionCount() const {
  return collectionView() ? collectionView()->numberOfSections() : 0;
}

// The const_cast only lends the layout to the delegate's signature; the
// delegate reads it.
#define VX_ASK(member, section, fallback)                                                   \
  do {                                                                                      \
    auto d = delegate();                                                                    \
    if (d && d->member)                                                                     \
      return d->member(*collectionView(), const_cast<QLCollectionGridLayout&>(*this), section); \
    return fallback;                                                                        \
  } while (0)

EdgeInsets QLCollectionGridLayout::sectionInsetForSection(int s) const {
  VX_ASK(insetForSectionAtIndex, s, sectionInset_);
}
double QLCollectionGridLayout::lineSpacingForSection(int s) const {
  VX_ASK(lineSpacingForSectionAtIndex, s, lineSpacing_);
}
double QLCollectionGridLayout::interitemSpacingForSection(int s) const {
  VX_ASK(interitemSpacingForSectionAtIndex, s, interitemSpacing_);
}
double QLCollectionGridLayout::askedHeaderLength(int s) const {
  VX_ASK(referenceLengthForHeaderInSection, s, headerReferenceLength_);
}
double QLCollectionGridLayout::askedFooterLength(int s) const {
  VX_ASK(referenceLengthForFooterInSection, s, footerReferenceLength_);
}
#undef VX_ASK

// A negative answer means no header or footer, in every place the length is
// used: frames never get a negative size and sections never overlap.
double QLCollectionGridLayout::headerLengthForSection(int s) const {
  return std::max(0.0, askedHeaderLength(s));
}
double QLCollectionGridLayout::footerLengthForSection(int s) const {
  return std::max(0.0, askedFooterLength(s));
}

int QLCollectionGridLayout::numberOfItemsPerLineForSection(int s) const {
  auto d = delegate();
  int n = d && d->numberItemsPerLineForSectionAtIndex
              ? d->numberItemsPerLineForSectionAtIndex(*collectionView(),
                                                       const_cast<QLCollectionGridLayout&>(*this), s)
              : numberOfItemsPerLine_;
  return n < 1 ? 1 : n;
}

double QLCollectionGridLayout::aspectRatioForSection(int s) const {
  auto d = delegate();
  double a = d && d->aspectRatioForItemsInSectionAtIndex
                 ? d->aspectRatioForItemsInSectionAtIndex(*collectionView(),
                                                          const_cast<QLCollectionGridLayout&>(*this), s)
                 : aspectRatio_;
  return a > 0 && std::isfinite(a) ? a : 1.0;
}

double QLCollectionGridLayout::usableSpaceInSection(int s) const {
  EdgeInsets e = sectionInsetForSection(s);
  double gaps = interitemSpacingForSection(s) * (numberOfItemsPerLineForSection(s) - 1);
  Size size = viewSize();
  return isVertical() ? size.width - e.left - e.right - gaps : size.height - e.top - e.bottom - gaps;
}

Size QLCollectionGridLayout::cellSizeInSection(int s) const {
  double u = usableSpaceInSection(s) / numberOfItemsPerLineForSection(s);
  double a = aspectRatioForSection(s);
  return isVertical() ? Size{u, u / a} : Size{u * a, u};
}

int QLCollectionGridLayout::rowsInSection(int s) const {
  int n = numberOfItemsPerLineForSection(s);
  int count = itemCount(s);
  return count / n + (count % n ? 1 : 0);
}

double QLCollectionGridLayout::lengthwiseInsetLengthInSection(int s) const {
  EdgeInsets e = sectionInsetForSection(s);
  return isVertical() ? e.top + e.bottom : e.left + e.right;
}

double QLCollectionGridLayout::contentLengthForSection(int s) const {
  int rows = rowsInSection(s);
  Size cell = cellSizeInSection(s);
  double extent = isVertical() ? cell.height : cell.width;
  double length = headerLengthForSection(s) + footerLengthForSection(s) + lengthwiseInsetLengthInSection(s);
  // An empty section has no lines and so no gap between them.
  if (rows > 0) length += (rows - 1) * lineSpacingForSection(s) + rows * extent;
  return length;
}

double QLCollectionGridLayout::startOfSection(int section) const {
  double start = 0;
  for (int s = 0; s < section; ++s) start += contentLengthForSection(s);
  return start;
}

Rect QLCollectionGridLayout::frameAt(const IndexPath& p, double start) const {
  int n = numberOfItemsPerLineForSection(p.section);
  int r = p.item / n, c = p.item - r * n;
  double base = start + headerLengthForSection(p.section);
  EdgeInsets e = sectionInsetForSection(p.section);
  Size size = cellSizeInSection(p.section);
  double g = interitemSpacingForSection(p.section), l = lineSpacingForSection(p.section);
  if (isVertical())
    return Rect(e.left + c * (size.width + g), base + e.top + r * (size.height + l), size.width,
                size.height);
  return Rect(base + e.left + r * (size.width + l), e.top + c * (size.height + g), size.width,
              size.height);
}

Rect QLCollectionGridLayout::frameForItemAtIndexPath(const IndexPath& p) const {
  return frameAt(p, startOfSection(p.section));
}

std::optional<CollectionViewLayoutAttributes> QLCollectionGridLayout::headerAt(const IndexPath& p,
                                                                                double start) const {
  double h = headerLengthForSection(p.section);
  if (h == 0) return std::nullopt;
  auto a = CollectionViewLayoutAttributes::forSupplementaryViewOfKind(kCollectionElementKindSectionHeader, p);
  Size size = viewSize();
  a.setFrame(isVertical() ? Rect(0, start, size.width, h) : Rect(start, 0, h, size.height));
  return a;
}

std::optional<CollectionViewLayoutAttributes> QLCollectionGridLayout::footerAt(const IndexPath& p,
                                                                                double start) const {
  double f = footerLengthForSection(p.section);
  if (f == 0) return std::nullopt;
  double end = start + contentLengthForSection(p.section);
  double position = end - f;
  auto a = CollectionViewLayoutAttributes::forSupplementaryViewOfKind(kCollectionElementKindSectionFooter, p);
  Size size = viewSize();
  a.setFrame(isVertical() ? Rect(0, position, size.width, f) : Rect(position, 0, f, size.height));
  return a;
}

std::optional<CollectionViewLayoutAttributes> QLCollectionGridLayout::headerAttributesForIndexPath(
    const IndexPath& p) const {
  return headerAt(p, startOfSection(p.section));
}

std::optional<CollectionViewLayoutAttributes> QLCollectionGridLayout::footerAttributesForIndexPath(
    const IndexPath& p) const {
  return footerAt(p, startOfSection(p.section));
}

CollectionViewLayoutAttributes QLCollectionGridLayout::layoutAttributesForCellAtIndexPath(
    const IndexPath& p) const {
  auto a = CollectionViewLayoutAttributes::forCellWithIndexPath(p);
  a.setFrame(frameForItemAtIndexPath(p));
  return a;
}

std::vector<CollectionViewLayoutAttributes> QLCollectionGridLayout::layoutAttributesForItemsInSection(
    int section) const {
  std::vector<CollectionViewLayoutAttributes> out;
  double start = startOfSection(section);
  for (int i = 0, n = itemCount(section); i < n; ++i) {
    auto a = CollectionViewLayoutAttributes::forCellWithIndexPath(IndexPath{section, i});
    a.setFrame(frameAt(IndexPath{section, i}, start));
    out.push_back(a);
  }
  return out;
}

void QLCollectionGridLayout::calculateContentSize() {
  double length = 0;
  for (int s = 0, count = sectionCount(); s < count; ++s) length += contentLengthForSection(s);
  collectionViewContentLength_ = length;
}

void QLCollectionGridLayout::calculateLayoutAttributes() {
  cellAttributesBySection_.clear();
  supplementaryAttributes_.clear();
  supplementaryAttributes_[kCollectionElementKindSectionHeader];
  supplementaryAttributes_[kCollectionElementKindSectionFooter];
  double start = 0;
  for (int s = 0, count = sectionCount(); s < count; ++s) {
    IndexPath p{s, 0};
    if (auto h = headerAt(p, start)) supplementaryAttributes_[kCollectionElementKindSectionHeader][p] = *h;
    std::vector<CollectionViewLayoutAttributes> items;
    for (int i = 0, n = itemCount(s); i < n; ++i) {
      auto a = CollectionViewLayoutAttributes::forCellWithIndexPath(IndexPath{s, i});
      a.setFrame(frameAt(IndexPath{s, i}, start));
      items.push_back(a);
    }
    cellAttributesBySection_.push_back(std::move(items));
    if (auto f = footerAt(p, start)) supplementaryAttributes_[kCollectionElementKindSectionFooter][p] = *f;
    start += contentLengthForSection(s);
  }
}

void QLCollectionGridLayout::prepareLayout() {
  CollectionViewLayout::prepareLayout();
  calculateContentSize();
  calculateLayoutAttributes();
}

Size QLCollectionGridLayout::collectionViewContentSize() const {
  Size size = viewSize();
  return isVertical() ? Size{size.width, collectionViewContentLength_}
                      : Size{collectionViewContentLength_, size.height};
}

std::vector<CollectionViewLayoutAttributes> QLCollectionGridLayout::layoutAttributesForElementsInRect(
    const Rect& rect) const {
  std::vector<CollectionViewLayoutAttributes> out;
  for (const auto& section : cellAttributesBySection_)
    for (const auto& a : section)
      if (a.frame().intersects(rect)) out.push_back(a);
  for (const auto& [kind, byPath] : supplementaryAttributes_)
    for (const auto& [path, a] : byPath)
      if (a.frame().intersects(rect)) out.push_back(a);
  return out;
}

std::optional<CollectionViewLayoutAttributes> QLCollectionGridLayout::layoutAttributesForItemAtIndexPath(
    const IndexPath& p) const {
  if (p.section < 0 || p.section >= static_cast<int>(cellAttributesBySection_.size())) return std::nullopt;
  const auto& items = cellAttributesBySection_[static_cast<size_t>(p.section)];
  if (p.item < 0 || p.item >= static_cast<int>(items.size())) return std::nullopt;
  return items[static_cast<size_t>(p.item)];
}

std::optional<CollectionViewLayoutAttributes>
QLCollectionGridLayout::layoutAttributesForSupplementaryViewOfKind(const std::string& kind,
                                                                   const IndexPath& p) const {
  auto byKind = supplementaryAttributes_.find(kind);
  if (byKind == supplementaryAttributes_.end()) return std::nullopt;
  auto it = byKind->second.find(p);
  if (it == byKind->second.end()) return std::nullopt;
  return it->second;
}

bool QLCollectionGridLayout::shouldInvalidateLayoutForBoundsChange(const Rect& newBounds) const {
  return newBounds.size != viewSize();
}

}  // namespace vexa

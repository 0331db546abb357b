// A flow layout: items of each section fill lines across the collection
// view (vertical scrolling) or columns down it (horizontal scrolling),
// separated by the minimum spacings and packed toward the start of the
// line; sections follow each other with their insets, headers and footers.
// Per-section and per-item values come from a CollectionViewDelegateFlowLayout
// when the collection view's delegate is one. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "vexa/platform/ui/CollectionViewLayout.h"

namespace vexa {

class CollectionView;
class CollectionViewLayout;

enum class ScrollDirection { Vertical, Horizontal };

struct CollectionViewDelegateFlowLayout {
  virtual ~CollectionViewDelegateFlowLayout() = default;
  std::function<Size(CollectionView&, CollectionViewLayout&, const IndexPath&)> sizeForItemAtIndexPath;
  std::function<EdgeInsets(CollectionView&, CollectionViewLayout&, int section)> insetForSectionAtIndex;
  std::function<double(CollectionView&, CollectionViewLayout&, int section)>
      minimumLineSpacingForSectionAtIndex;
  std::function<double(CollectionView&, CollectionViewLayout&, int section)>
      minimumInteritemSpacingForSectionAtIndex;
  std::function<Size(CollectionView&, CollectionViewLayout&, int section)> referenceSizeForHeaderInSection;
  std::function<Size(CollectionView&, CollectionViewLayout&, int section)> referenceSizeForFooterInSection;
};

class CollectionViewFlowLayout : public CollectionViewLayout {
 public:
  static std::shared_ptr<CollectionViewFlowLayout> create() {
    return std::make_shared<CollectionViewFlowLayout>();
  }

  ScrollDirection scrollDirection() const { return direction_; }
  void setScrollDirection(ScrollDirection d) { direction_ = d; invalidateLayout(); }
  Size itemSize() const { return itemSize_; }
  void setItemSize(Size s) { itemSize_ = s; invalidateLayout(); }
  double minimumLineSpacing() const { return lineSpacing_; }
  void setMinimumLineSpacing(double v) { lineSpacing_ = v; invalidateLayout(); }
  double minimumInteritemSpacing() const { return interitemSpacing_; }
  void setMinimumInteritemSpacing(double v) { interitemSpacing_ = v; invalidateLayout(); }
  EdgeInsets sectionInset() const { return sectionInset_; }
  void setSectionInset(EdgeInsets e) { sectionInset_ = e; invalidateLayout(); }
  Size headerReferenceSize() const { return headerSize_; }
  void setHeaderReferenceSize(Size s) { headerSize_ = s; invalidateLayout(); }
  Size footerReferenceSize() const { return footerSize_; }
  void setFooterReferenceSize(Size s) { footerSize_ = s; invalidateLayout(); }

  void prepareLayout() override;
  Size collectionViewContentSize() const override { return contentSize_; }
  std::vector<CollectionViewLayoutAttributes> layoutAttributesForElementsInRect(
      const Rect& rect) const override;
  std::optional<CollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(
      const IndexPath& indexPath) const override;
  std::optional<CollectionViewLayoutAttributes> layoutAttributesForSupplementaryViewOfKind(
      const std::string& kind, const IndexPath& indexPath) const override;
  bool shouldInvalidateLayoutForBoundsChange(const Rect& newBounds) const override;

 private:
  ScrollDirection direction_ = ScrollDirection::Vertical;
  Size itemSize_{50, 50};
  double lineSpacing_ = 10;
  double interitemSpacing_ = 10;
  EdgeInsets sectionInset_;
  Size headerSize_;
  Size footerSize_;

  Size contentSize_;
  std::vector<std::vector<CollectionViewLayoutAttributes>> items_;
  std::vector<CollectionViewLayoutAttributes> supplementary_;
};

}  // namespace vexa

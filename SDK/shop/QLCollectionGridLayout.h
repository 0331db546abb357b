// A grid layout: a fixed number of equal items per line, each item's size
// taken from the breadth left after insets and spacing and from an aspect
// ratio (width / height), optional section headers and footers given as
// lengths. Sections follow one another along the scroll direction
// (0 = vertical, anything else = horizontal). Per-section values come from
// a QLCollectionGridLayoutDelegate when the collection view's delegate is
// one, else from the layout's own properties. Main thread only.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexa/platform/ui/CollectionViewLayout.h"

namespace vexa {

class CollectionView;

struct QLCollectionGridLayoutDelegate {
  virtual ~QLCollectionGridLayoutDelegate() = default;
  std::function<EdgeInsets(CollectionView&, CollectionViewLayout&, int section)> insetForSectionAtIndex;
  std::function<double(CollectionView&, CollectionViewLayout&, int section)> lineSpacingForSectionAtIndex;
  std::function<double(CollectionView&, CollectionViewLayout&, int section)>
      interitemSpacingForSectionAtIndex;
  std::function<double(CollectionView&, CollectionViewLayout&, int section)>
      referenceLengthForHeaderInSection;
  std::function<double(CollectionView&, CollectionViewLayout&, int section)>
      referenceLengthForFooterInSection;
  std::function<int(CollectionView&, CollectionViewLayout&, int section)>
      numberItemsPerLineForSectionAtIndex;
  std::function<double(CollectionView&, CollectionViewLayout&, int section)>
      aspectRatioForItemsInSectionAtIndex;
};

class QLCollectionGridLayout : public CollectionViewLayout {
 public:
  QLCollectionGridLayout() = default;
  static std::shared_ptr<QLCollectionGridLayout> create() {
    return std::make_shared<QLCollectionGridLayout>();
  }

  // These setters invalidate the layout only when the value changes.
  int scrollDirection() const { return scrollDirection_; }
  void setScrollDirection(int direction);
  EdgeInsets sectionInset() const { return sectionInset_; }
  void setSectionInset(EdgeInsets inset);
  double interitemSpacing() const { return interitemSpacing_; }
  void setInteritemSpacing(double spacing);
  double lineSpacing() const { return lineSpacing_; }
  void setLineSpacing(double spacing);
  int numberOfItemsPerLine() const { return numberOfItemsPerLine_; }
  void setNumberOfItemsPerLine(int count);
  double aspectRatio() const { return aspectRatio_; }
  void setAspectRatio(double ratio);
  // Stored without invalidating.
  double headerReferenceLength() const { return headerReferenceLength_; }
  void setHeaderReferenceLength(double length) { headerReferenceLength_ = length; }
  double footerReferenceLength() const { return footerReferenceLength_; }
  void setFooterReferenceLength(double length) { footerReferenceLength_ = length; }

  // Computed by prepareLayout().
  double collectionViewContentLength() const { return collectionViewContentLength_; }
  const std::vector<std::vector<CollectionViewLayoutAttributes>>& cellAttributesBySection() const {
    return cellAttributesBySection_;
  }
  const std::map<std::string, std::map<IndexPath, CollectionViewLayoutAttributes>>&
  supplementaryAttributes() const {
    return supplementaryAttributes_;
  }

  // Per-section values: the delegate's answer, else the property.
  EdgeInsets sectionInsetForSection(int section) const;
  double lineSpacingForSection(int section) const;
  double interitemSpacingForSection(int section) const;
  double headerLengthForSection(int section) const;
  double footerLengthForSection(int section) const;
  // At least 1: a grid line holds at least one item.
  int numberOfItemsPerLineForSection(int section) const;
  // A ratio that is not positive counts as 1 (square items).
  double aspectRatioForSection(int section) const;

  double usableSpaceInSection(int section) const;
  Size cellSizeInSection(int section) const;
  int rowsInSection(int section) const;
  double lengthwiseInsetLengthInSection(int section) const;
  double contentLengthForSection(int section) const;
  double startOfSection(int section) const;
  Rect frameForItemAtIndexPath(const IndexPath& indexPath) const;
  std::optional<CollectionViewLayoutAttributes> headerAttributesForIndexPath(const IndexPath& p) const;
  std::optional<CollectionViewLayoutAttributes> footerAttributesForIndexPath(const IndexPath& p) const;
  CollectionViewLayoutAttributes layoutAttributesForCellAtIndexPath(const IndexPath& p) const;
  std::vector<CollectionViewLayoutAttributes> layoutAttributesForItemsInSection(int section) const;
  void calculateContentSize();
  void calculateLayoutAttributes();

  void prepareLayout() override;
  Size collectionViewContentSize() const override;
  std::vector<CollectionViewLayoutAttributes> layoutAttributesForElementsInRect(
      const Rect& rect) const override;
  std::optional<CollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(
      const IndexPath& indexPath) const override;
  std::optional<CollectionViewLayoutAttributes> layoutAttributesForSupplementaryViewOfKind(
      const std::string& kind, const IndexPath& indexPath) const override;
  bool shouldInvalidateLayoutForBoundsChange(const Rect& newBounds) const override;

 private:
  // The delegate's answer, else the layout's own length; may be negative.
  double askedHeaderLength(int section) const;
  double askedFooterLength(int section) const;
  bool isVertical() const { return scrollDirection_ == 0; }
  Size viewSize() const;
  int itemCount(int section) const;
  int sectionCount() const;
  std::shared_ptr<QLCollectionGridLayoutDelegate> delegate() const;
  // Section length given its start is not needed; headers use the start.
  std::optional<CollectionViewLayoutAttributes> headerAt(const IndexPath& p, double start) const;
  std::optional<CollectionViewLayoutAttributes> footerAt(const IndexPath& p, double start) const;
  Rect frameAt(const IndexPath& p, double start) const;

  int scrollDirection_ = 0;
  EdgeInsets sectionInset_;
  double interitemSpacing_ = 10;
  double lineSpacing_ = 10;
  int numberOfItemsPerLine_ = 1;
  double aspectRatio_ = 1.0;
  double headerReferenceLength_ = 0;
  double footerReferenceLength_ = 0;
  std::map<std::string, std::map<IndexPath, CollectionViewLayoutAttributes>> supplementaryAttributes_;
  std::vector<std::vector<CollectionViewLayoutAttributes>> cellAttributesBySection_;
  double collectionViewContentLength_ = 0;
};

}  // namespace vexa

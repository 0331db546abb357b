// The layout strategy of a collection view: where every cell and
// supplementary view goes, and how large the content is.
//
// The collection view calls prepareLayout() once after every invalidation
// (data reload, changed settings, a size change the layout asks for), then
// reads the content size and the attributes of what is visible. Subclasses
// compute everything in prepareLayout() and answer queries from what they
// stored. A layout belongs to one collection view at a time (which owns it).
// Main thread only.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "vexa/platform/Geometry.h"
#include "vexa/platform/ui/CollectionViewLayoutAttributes.h"

namespace vexa {

class CollectionView;

class CollectionViewLayout {
 public:
  virtual ~CollectionViewLayout() = default;

  // The collection view using this layout, or nullptr.
  CollectionView* collectionView() const { return collectionView_; }

  virtual void prepareLayout() {}
  virtual Size collectionViewContentSize() const { return Size{}; }
  // Attributes of every element whose frame intersects `rect`.
  virtual std::vector<CollectionViewLayoutAttributes> layoutAttributesForElementsInRect(
      const Rect& rect) const = 0;
  virtual std::optional<CollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(
      const IndexPath& indexPath) const = 0;
  virtual std::optional<CollectionViewLayoutAttributes> layoutAttributesForSupplementaryViewOfKind(
      const std::string& kind, const IndexPath& indexPath) const {
    (void)kind;
    (void)indexPath;
    return std::nullopt;
  }
  // Asked before the collection view's bounds change (scrolling included).
  virtual bool shouldInvalidateLayoutForBoundsChange(const Rect& newBounds) const {
    (void)newBounds;
    return false;
  }
  // Marks the layout stale; the next layout pass prepares it again.
  virtual void invalidateLayout();

  // Set by the collection view.
  void setCollectionView(CollectionView* view) { collectionView_ = view; }

 private:
  CollectionView* collectionView_ = nullptr;
};

}  // namespace vexa

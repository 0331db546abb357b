// The layout of the keyboard's emoji area: every section on horizontal pages
// of a fixed grid, one collection-view width per page. Items run row by row
// across a page, a section always starts on a new page, and the sections
// follow each other left to right in one paged strip. Rows and columns per
// section come from the grid delegate (1 x 1 without one); spacing and page
// insets are properties. prepareLayout() computes each section's geometry
// (count, grid, item size, origin) once; a cell's frame follows from it by
// arithmetic when asked, so the layout's memory grows with the sections,
// not with the emojis, and a rect query visits only the pages it meets.
// Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "vexa/platform/ui/CollectionViewLayout.h"

namespace vexa {

// Both operations are expected; an empty one counts as 1.
struct QLInputCollectionPageGridLayoutDelegate {
  std::function<int(int section)> rowsOfSection;
  std::function<int(int section)> columsOfSection;
};

class QLInputCollectionPageGridLayout : public CollectionViewLayout {
 public:
  QLInputCollectionPageGridLayout() = default;
  static std::shared_ptr<QLInputCollectionPageGridLayout> create() {
    return std::make_shared<QLInputCollectionPageGridLayout>();
  }

  double lineSpacing() const { return lineSpacing_; }
  // Setters invalidate the layout only when the value changes.
  void setLineSpacing(double spacing);
  double itemSpacing() const { return itemSpacing_; }
  void setItemSpacing(double spacing);
  EdgeInsets pageContentInsets() const { return pageContentInsets_; }
  void setPageContentInsets(EdgeInsets insets);
  void setGridLayoutDelegate(std::weak_ptr<QLInputCollectionPageGridLayoutDelegate> delegate) {
    gridLayoutDelegate_ = std::move(delegate);
  }
  std::shared_ptr<QLInputCollectionPageGridLayoutDelegate> gridLayoutDelegate() const {
    return gridLayoutDelegate_.lock();
  }
  // Every cell's attributes as of the last prepare pass, built on request
  // (for inspection; the collection view asks per rect or item).
  std::unordered_map<IndexPath, CollectionViewLayoutAttributes> layoutAttributes() const;

  // The collection view's bounds size: one page.
  Size pageSize() const;
  Size avaliableSizePerPage() const;

  // Counts include any backspace cells.
  int numberOfItemsWithSection(int section) const;
  // The delegate's answer, at least 1 (a grid needs a row and a column).
  int rowsAtSection(int section) const;
  int columnsAtSection(int section) const;
  int numberOfItemsPerPageAtSection(int section) const;
  // Pages of a section: the item count divided by the page size, rounded up.
  int pagesAtSection(int section) const;
  Size itemSizeAtSection(int section) const;
  // Left edge of the section's first page.
  double originXForSection(int section) const;

  void prepareLayout() override;
  Size collectionViewContentSize() const override;
  std::vector<CollectionViewLayoutAttributes> layoutAttributesForElementsInRect(
      const Rect& rect) const override;
  std::optional<CollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(
      const IndexPath& indexPath) const override;
  bool shouldInvalidateLayoutForBoundsChange(const Rect& newBounds) const override;

 private:
  int numberOfSections() const;
  // What the prepare pass keeps per section.
  struct SectionGeometry {
    int count = 0;
    int columns = 1;
    int perPage = 1;
    int pages = 0;
    double originX = 0;
    Size item;
  };
  CollectionViewLayoutAttributes attributesFor(int section, const SectionGeometry& g, int item) const;

  double lineSpacing_ = 10;
  double itemSpacing_ = 10;
  std::weak_ptr<QLInputCollectionPageGridLayoutDelegate> gridLayoutDelegate_;
  EdgeInsets pageContentInsets_;
  Size page_;
  std::vector<SectionGeometry> sections_;
};

}  // namespace vexa

// Where a layout puts one element of a collection view: a cell or a
// supplementary view (header, footer) of a kind, at an index path.
#pragma once

#include <string>

#include "vexa/platform/Geometry.h"
#include "vexa/platform/ui/IndexPath.h"

namespace vexa {

// The kinds of supplementary views the layouts of the SDK make.
inline constexpr const char* kCollectionElementKindSectionHeader = "UICollectionElementKindSectionHeader";
inline constexpr const char* kCollectionElementKindSectionFooter = "UICollectionElementKindSectionFooter";

class CollectionViewLayoutAttributes {
 public:
  enum class Category { Cell, SupplementaryView };

  CollectionViewLayoutAttributes() = default;
  static CollectionViewLayoutAttributes forCellWithIndexPath(const IndexPath& indexPath);
  static CollectionViewLayoutAttributes forSupplementaryViewOfKind(std::string kind,
                                                                   const IndexPath& indexPath);

  Category category() const { return category_; }
  const std::string& representedElementKind() const { return kind_; }
  const IndexPath& indexPath() const { return indexPath_; }
  Rect frame() const { return frame_; }
  void setFrame(const Rect& frame) { frame_ = frame; }
  Size size() const { return frame_.size; }
  double alpha() const { return alpha_; }
  void setAlpha(double alpha) { alpha_ = alpha; }
  bool isHidden() const { return hidden_; }
  void setHidden(bool hidden) { hidden_ = hidden; }
  int zIndex() const { return zIndex_; }
  void setZIndex(int z) { zIndex_ = z; }

  bool operator==(const CollectionViewLayoutAttributes&) const = default;

 private:
  Category category_ = Category::Cell;
  std::string kind_;
  IndexPath indexPath_;
  Rect frame_;
  double alpha_ = 1;
  bool hidden_ = false;
  int zIndex_ = 0;
};

}  // namespace vexa

#include "vexa/platform/ui/CollectionViewLayoutAttributes.h"

namespace vexa {

CollectionViewLayoutAttributes CollectionViewLayoutAttributes::forCellWithIndexPath(
    const IndexPath& indexPath) {
  CollectionViewLayoutAttributes a;
  a.indexPath_ = indexPath;
  return a;
}

CollectionViewLayoutAttributes CollectionViewLayoutAttributes::forSupplementaryViewOfKind(
    std::string kind, const IndexPath& indexPath) {
  CollectionViewLayoutAttributes a;
  a.category_ = Category::SupplementaryView;
  a.kind_ = std::move(kind);
  a.indexPath_ = indexPath;
  return a;
}

}  // namespace vexa

#include "vexa/platform/ui/CollectionViewLayout.h"

#include "vexa/platform/ui/CollectionView.h"

namespace vexa {

void CollectionViewLayout::invalidateLayout() {
  if (collectionView_) collectionView_->layoutWasInvalidated();
}

}  // namespace vexa

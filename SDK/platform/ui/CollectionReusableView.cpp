#include "vexa/platform/ui/CollectionReusableView.h"

namespace vexa {

void CollectionReusableView::applyLayoutAttributes(const CollectionViewLayoutAttributes& a) {
  setFrame(a.frame());
  setAlpha(a.alpha());
  setHidden(a.isHidden());
}

}  // namespace vexa

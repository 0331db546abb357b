#include "vexa/platform/ui/CollectionViewCell.h"

namespace vexa {

CollectionViewCell::CollectionViewCell(Rect frame) : CollectionReusableView(frame) {
  contentView_ = View::create(Rect(Point{}, frame.size));
  contentView_->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
  addSubview(contentView_);
}

void CollectionViewCell::prepareForReuse() {
  setSelected(false);
  setHighlighted(false);
}

}  // namespace vexa

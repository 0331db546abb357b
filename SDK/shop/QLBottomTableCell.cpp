#include "vexa/shop/QLBottomTableCell.h"

namespace vexa {

QLBottomTableCell::QLBottomTableCell() {
  setSelectionStyle(SelectionStyle::None);
  bottomView_ = QLBottomView::create(Rect(0, 0, 1, 1));
  contentView()->addSubview(bottomView_);
}

void QLBottomTableCell::layoutSubviews() {
  TableViewCell::layoutSubviews();
  bottomView_->setFrame(contentView()->bounds());
}

}  // namespace vexa

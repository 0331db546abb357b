#include "vexa/shop/QLAdTableCell.h"

namespace vexa {

QLAdTableCell::QLAdTableCell() {
  setSelectionStyle(SelectionStyle::None);
  loopScrollView_ = QL_LoopScrollView::create(Rect(0, 0, 1, 1));
  contentView()->addSubview(loopScrollView_);
}

QLAdTableCell::~QLAdTableCell() {
  // Someone else may still hold the carousel: leave it without a timer.
  loopScrollView_->setImageUrls(nullptr);
  loopScrollView_->setTimeInterval(0);
}

void QLAdTableCell::layoutSubviews() {
  TableViewCell::layoutSubviews();
  loopScrollView_->setFrame(contentView()->bounds());
}

}  // namespace vexa

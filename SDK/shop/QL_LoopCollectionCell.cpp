#include "vexa/shop/QL_LoopCollectionCell.h"

#include "vexa/platform/ui/Label.h"

namespace vexa {

QL_LoopCollectionCell::QL_LoopCollectionCell(Rect frame) : CollectionViewCell(frame) {
  imageView_ = QL_LoadImageView::create();
  titleLabel_ = Label::create();
  titleLabel_->setBackgroundColor(Color::black().withAlpha(0.5));
  titleLabel_->setTextColor(Color::whiteColor());
  titleLabel_->setFont(Font::systemFont(13));
  titleLabel_->setHidden(true);
  contentView()->addSubview(imageView_);
  contentView()->addSubview(titleLabel_);
}

void QL_LoopCollectionCell::setTitle(const std::string& title) {
  titleLabel_->setText(title);
  titleLabel_->setHidden(title.empty());
}

void QL_LoopCollectionCell::layoutSubviews() {
  Rect b = bounds();
  imageView_->setFrame(b);
  titleLabel_->setFrame(Rect(0, b.height() - 30, b.width(), 30));
  titleLabel_->setHidden(titleLabel_->text().empty());
}

}  // namespace vexa

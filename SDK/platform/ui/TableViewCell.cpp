#include "vexa/platform/ui/TableViewCell.h"

#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/Label.h"

namespace vexa {

TableViewCell::TableViewCell(Rect frame) : CollectionReusableView(frame) {
  setBackgroundColor(Color::whiteColor());
  contentView_ = View::create(Rect(Point{}, frame.size));
  contentView_->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
  addSubview(contentView_);
}

const std::shared_ptr<Label>& TableViewCell::textLabel() {
  if (!textLabel_) {
    textLabel_ = Label::create();
    contentView_->addSubview(textLabel_);
    setNeedsLayout();
  }
  return textLabel_;
}

const std::shared_ptr<ImageView>& TableViewCell::imageView() {
  if (!imageView_) {
    imageView_ = ImageView::create();
    contentView_->addSubview(imageView_);
    setNeedsLayout();
  }
  return imageView_;
}

void TableViewCell::prepareForReuse() {
  setSelected(false);
  setHighlighted(false);
}

void TableViewCell::layoutSubviews() {
  Rect b = contentView_->bounds();
  double x = 15;
  if (imageView_ && imageView_->image()) {
    Size s = imageView_->sizeThatFits(Size{});
    imageView_->setFrame(Rect(x, b.midY() - s.height / 2, s.width, s.height));
    x += s.width + 15;
  }
  if (textLabel_) textLabel_->setFrame(Rect(x, 0, std::max(0.0, b.width() - x - 15), b.height()));
}

}  // namespace vexa

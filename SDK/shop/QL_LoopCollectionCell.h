// One page of the banner strip: the image fills the cell; the title sits in
// a 30-point band at the bottom (white 13-point text on half-transparent
// black), hidden while it has no text. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "vexa/platform/ui/CollectionViewCell.h"
#include "vexa/shop/QL_LoadImageView.h"

namespace vexa {

class Label;

class QL_LoopCollectionCell : public CollectionViewCell {
 public:
  explicit QL_LoopCollectionCell(Rect frame = {});

  const std::shared_ptr<QL_LoadImageView>& imageView() const { return imageView_; }
  const std::shared_ptr<Label>& titleLabel() const { return titleLabel_; }
  void setTitle(const std::string& title);

  void layoutSubviews() override;

 private:
  std::shared_ptr<QL_LoadImageView> imageView_;
  std::shared_ptr<Label> titleLabel_;
};

}  // namespace vexa

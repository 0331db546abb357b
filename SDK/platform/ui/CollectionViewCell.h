// A collection view cell: a content view that fills it (put subviews
// there), and the selected and highlighted states. Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/ui/CollectionReusableView.h"

namespace vexa {

class CollectionViewCell : public CollectionReusableView {
 public:
  explicit CollectionViewCell(Rect frame = {});
  static std::shared_ptr<CollectionViewCell> create(Rect frame = {}) {
    return std::make_shared<CollectionViewCell>(frame);
  }

  const std::shared_ptr<View>& contentView() const { return contentView_; }
  bool isSelected() const { return selected_; }
  virtual void setSelected(bool selected) { selected_ = selected; }
  bool isHighlighted() const { return highlighted_; }
  virtual void setHighlighted(bool highlighted) { highlighted_ = highlighted; }

  void prepareForReuse() override;

 private:
  std::shared_ptr<View> contentView_;
  bool selected_ = false;
  bool highlighted_ = false;
};

}  // namespace vexa

// A table row: a content view filling the cell, an optional text label and
// image view (made on first use), and the selected and highlighted states.
// Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/ui/CollectionReusableView.h"

namespace vexa {

class Label;
class ImageView;

class TableViewCell : public CollectionReusableView {
 public:
  enum class SelectionStyle { None, Default };

  explicit TableViewCell(Rect frame = Rect(0, 0, 320, 44));
  static std::shared_ptr<TableViewCell> create() { return std::make_shared<TableViewCell>(); }

  const std::shared_ptr<View>& contentView() const { return contentView_; }
  const std::shared_ptr<Label>& textLabel();
  const std::shared_ptr<ImageView>& imageView();
  bool isSelected() const { return selected_; }
  virtual void setSelected(bool selected) { selected_ = selected; }
  bool isHighlighted() const { return highlighted_; }
  virtual void setHighlighted(bool highlighted) { highlighted_ = highlighted; }
  SelectionStyle selectionStyle() const { return selectionStyle_; }
  void setSelectionStyle(SelectionStyle style) { selectionStyle_ = style; }

  void prepareForReuse() override;
  void layoutSubviews() override;

 private:
  std::shared_ptr<View> contentView_;
  std::shared_ptr<Label> textLabel_;
  std::shared_ptr<ImageView> imageView_;
  bool selected_ = false;
  bool highlighted_ = false;
  SelectionStyle selectionStyle_ = SelectionStyle::Default;
};

}  // namespace vexa

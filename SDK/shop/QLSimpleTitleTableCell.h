// A row with one black title and a hairline at its bottom (the way to the
// download records). Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/ui/TableViewCell.h"

namespace vexa {

class Label;

class QLSimpleTitleTableCell : public TableViewCell {
 public:
  QLSimpleTitleTableCell();
  static std::shared_ptr<QLSimpleTitleTableCell> create() { return std::make_shared<QLSimpleTitleTableCell>(); }

  const std::shared_ptr<Label>& titleLabel() const { return titleLabel_; }
  const std::shared_ptr<View>& bottomLine() const { return bottomLine_; }

  void layoutSubviews() override;

 private:
  std::shared_ptr<Label> titleLabel_;
  std::shared_ptr<View> bottomLine_;
};

}  // namespace vexa

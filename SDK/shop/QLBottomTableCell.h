// The package detail screen's footer row: one QLBottomView filling the
// row. Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/ui/TableViewCell.h"
#include "vexa/shop/QLBottomView.h"

namespace vexa {

class QLBottomTableCell : public TableViewCell {
 public:
  QLBottomTableCell();
  static std::shared_ptr<QLBottomTableCell> create() { return std::make_shared<QLBottomTableCell>(); }

  const std::shared_ptr<QLBottomView>& bottomView() const { return bottomView_; }

  void layoutSubviews() override;

 private:
  std::shared_ptr<QLBottomView> bottomView_;
};

}  // namespace vexa

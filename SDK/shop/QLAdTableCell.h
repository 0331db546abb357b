// The banner row of the shop and of the package detail screen: one banner
// carousel filling the row. The carousel's timer stops when the cell goes
// away. Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/ui/TableViewCell.h"
#include "vexa/shop/QL_LoopScrollView.h"

namespace vexa {

class QLAdTableCell : public TableViewCell {
 public:
  QLAdTableCell();
  ~QLAdTableCell() override;
  static std::shared_ptr<QLAdTableCell> create() { return std::make_shared<QLAdTableCell>(); }

  const std::shared_ptr<QL_LoopScrollView>& loopScrollView() const { return loopScrollView_; }

  void layoutSubviews() override;

 private:
  std::shared_ptr<QL_LoopScrollView> loopScrollView_;
};

}  // namespace vexa

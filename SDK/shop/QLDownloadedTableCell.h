// A row of the my-emoticons list: the package's cover and name and a "移除"
// button. A tap on the button shows it pressed and calls `removeHandler`
// with the cell; the owner finds the row and removes the package. Sizes
// follow the main screen's class. Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "vexa/platform/ui/TableViewCell.h"
#include "vexa/shop/QL_LoadImageView.h"

namespace vexa {

class Button;
class Label;

class QLDownloadedTableCell : public TableViewCell {
 public:
  using RemoveHandler = std::function<void(QLDownloadedTableCell& cell)>;

  QLDownloadedTableCell();
  static std::shared_ptr<QLDownloadedTableCell> create() { return std::make_shared<QLDownloadedTableCell>(); }

  // The cover; loads URLs through the image cache.
  const std::shared_ptr<QL_LoadImageView>& imgView() const { return imgView_; }
  const std::shared_ptr<Label>& titleLabel() const { return titleLabel_; }
  const std::shared_ptr<Button>& removeBtn() const { return removeBtn_; }
  const std::shared_ptr<View>& bottomLine() const { return bottomLine_; }

  const RemoveHandler& removeHandler() const { return removeHandler_; }
  void setRemoveHandler(RemoveHandler handler) { removeHandler_ = std::move(handler); }

  // The button's action.
  void removeAction();

  void prepareForReuse() override;
  void layoutSubviews() override;

 private:
  std::shared_ptr<QL_LoadImageView> imgView_;
  std::shared_ptr<Label> titleLabel_;
  std::shared_ptr<Button> removeBtn_;
  std::shared_ptr<View> bottomLine_;
  RemoveHandler removeHandler_;
};

}  // namespace vexa

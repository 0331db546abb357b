// The row the big-emoji screen shows when it could not find the emoji's
// package: a grey line along its top, the "remind" picture and
// "获取表情包信息失败". Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/ui/TableViewCell.h"

namespace vexa {

class ImageView;
class Label;

class QLEmotionDetailTableCell : public TableViewCell {
 public:
  QLEmotionDetailTableCell();
  static std::shared_ptr<QLEmotionDetailTableCell> create() {
    return std::make_shared<QLEmotionDetailTableCell>();
  }

  const std::shared_ptr<Label>& remindLabel() const { return remindLabel_; }
  const std::shared_ptr<ImageView>& remindImgView() const { return remindImgView_; }
  const std::shared_ptr<Label>& lineLabel() const { return lineLabel_; }

  void layoutSubviews() override;

 private:
  std::shared_ptr<Label> remindLabel_;
  std::shared_ptr<ImageView> remindImgView_;
  std::shared_ptr<Label> lineLabel_;
};

}  // namespace vexa

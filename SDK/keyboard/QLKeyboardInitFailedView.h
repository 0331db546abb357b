// The panel the centre lays over the keyboard's emoji area when the default
// packages could not be installed: the "failed" picture, the prompt
// "表情键盘初始化失败，请检查网络后重试" and a "点击刷新" button.
//
// The button runs one retry: the first tap sets `refreshSuccess` and asks
// the data source to refreshData; later taps do nothing until the owner
// sets `refreshSuccess` back to false (after a failed retry). The owner
// gives the panel the emoji area's frame (keyboard height minus the tool
// bar), so the tool bar below stays usable.
//
// Main thread only. The data source is held weakly.
#pragma once

#include <memory>

#include "vexa/keyboard/QLKeyboardInitFailedViewDataSource.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class Button;
class ImageView;
class Label;

class QLKeyboardInitFailedView : public View {
 public:
  explicit QLKeyboardInitFailedView(Rect frame = {});
  static std::shared_ptr<QLKeyboardInitFailedView> create(Rect frame = {}) {
    return std::make_shared<QLKeyboardInitFailedView>(frame);
  }

  const std::shared_ptr<ImageView>& imgView() const { return imgView_; }
  const std::shared_ptr<Label>& promptLabel() const { return promptLabel_; }
  const std::shared_ptr<Button>& retryBtn() const { return retryBtn_; }

  bool refreshSuccess() const { return refreshSuccess_; }
  void setRefreshSuccess(bool armed) { refreshSuccess_ = armed; }

  void setDataSource(std::weak_ptr<QLKeyboardInitFailedViewDataSource> dataSource) {
    dataSource_ = std::move(dataSource);
  }
  std::shared_ptr<QLKeyboardInitFailedViewDataSource> dataSource() const {
    return dataSource_.lock();
  }

  // The button's action.
  void refresh();

  void layoutSubviews() override;

 private:
  std::shared_ptr<ImageView> imgView_;
  std::shared_ptr<Label> promptLabel_;
  std::shared_ptr<Button> retryBtn_;
  std::weak_ptr<QLKeyboardInitFailedViewDataSource> dataSource_;
  bool refreshSuccess_ = false;
};

}  // namespace vexa

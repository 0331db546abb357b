// The page that replaces a screen whose data did not load: the "failed"
// picture, "页面加载失败，请检查网络后重试" and a "重新加载" button.
//
// The button asks the data source to load again once: `reloadBtnClick`
// turns true at the first tap, and further taps do nothing until the owner
// sets it back to false after the next failure (a new view starts false).
//
// Main thread only. The data source is held weakly.
#pragma once

#include <functional>
#include <memory>

#include "vexa/platform/ui/View.h"

namespace vexa {

class Button;
class ImageView;
class Label;

struct QLLoadFailedViewDataSource {
  virtual ~QLLoadFailedViewDataSource() = default;
  std::function<void()> requestData;
};

class QLLoadFailedView : public View {
 public:
  explicit QLLoadFailedView(Rect frame = {});
  static std::shared_ptr<QLLoadFailedView> create(Rect frame = {}) {
    return std::make_shared<QLLoadFailedView>(frame);
  }

  const std::shared_ptr<ImageView>& imgView() const { return imgView_; }
  const std::shared_ptr<Label>& loadFailedLabel() const { return loadFailedLabel_; }
  const std::shared_ptr<Button>& reloadBtn() const { return reloadBtn_; }

  bool reloadBtnClick() const { return reloadBtnClick_; }
  void setReloadBtnClick(bool clicked) { reloadBtnClick_ = clicked; }

  void setDataSource(std::weak_ptr<QLLoadFailedViewDataSource> dataSource) {
    dataSource_ = std::move(dataSource);
  }
  std::shared_ptr<QLLoadFailedViewDataSource> dataSource() const { return dataSource_.lock(); }

  // The button's action.
  void requestDataAgain();

  void layoutSubviews() override;

 private:
  std::shared_ptr<ImageView> imgView_;
  std::shared_ptr<Label> loadFailedLabel_;
  std::shared_ptr<Button> reloadBtn_;
  std::weak_ptr<QLLoadFailedViewDataSource> dataSource_;
  bool reloadBtnClick_ = false;
};

}  // namespace vexa

// The footer of the package detail screen: the package's copyright line
// over a "服务声明" button that opens the service terms. Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/ui/View.h"

namespace vexa {

class Button;
class Label;

class QLBottomView : public View {
 public:
  explicit QLBottomView(Rect frame = {});
  static std::shared_ptr<QLBottomView> create(Rect frame = {}) {
    return std::make_shared<QLBottomView>(frame);
  }

  const std::shared_ptr<Label>& copyrightLabel() const { return copyrightLabel_; }
  const std::shared_ptr<Button>& serviceBtn() const { return serviceBtn_; }

  void layoutSubviews() override;

 private:
  std::shared_ptr<Label> copyrightLabel_;
  std::shared_ptr<Button> serviceBtn_;
};

}  // namespace vexa

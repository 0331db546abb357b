// The banner's page dots: a page control that reports a change of page made
// by a tap to its valueChangedBlock. Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "vexa/platform/ui/PageControl.h"

namespace vexa {

class QL_PageControl : public PageControl {
 public:
  using ValueChangedBlock = std::function<void(int currentPage)>;

  explicit QL_PageControl(Rect frame = {});
  static std::shared_ptr<QL_PageControl> create(Rect frame = {}) {
    return std::make_shared<QL_PageControl>(frame);
  }

  const ValueChangedBlock& valueChangedBlock() const { return valueChangedBlock_; }
  void setValueChangedBlock(ValueChangedBlock block) { valueChangedBlock_ = std::move(block); }

 private:
  ValueChangedBlock valueChangedBlock_;
};

}  // namespace vexa

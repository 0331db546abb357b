#include "vexa/shop/QL_PageControl.h"

namespace vexa {

QL_PageControl::QL_PageControl(Rect frame) : PageControl(frame) {
  // The action lives in this control, so `this` outlives it.
  addAction(ControlEventValueChanged, [this](Control&) {
    if (valueChangedBlock_) valueChangedBlock_(currentPage());
  });
}

}  // namespace vexa
